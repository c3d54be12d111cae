#include "shell/application.h"

#include "platform/errors.h"

#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMetaEnum>
#include <QPointer>
#include <QTranslator>

namespace velix {

bool carregaTraducoesQt()
{
    static QPointer<QTranslator> traducao;
    if (traducao)
        return true;
    auto *t = new QTranslator(QCoreApplication::instance());
    if (!t->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    traducao = t;
    return true;
}

VelixApplication::VelixApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    carregaTraducoesQt();
}

bool VelixApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        QString where = receiver ? receiver->objectName() : QString();
        if (where.isEmpty() && receiver)
            where = QString::fromLatin1(receiver->metaObject()->className());
        if (event)
            where += QLatin1Char('.')
                     + QString::fromLatin1(QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type()));
        reportCurrentException(where);
        return false;
    }
}

} // namespace velix
