#include "shell/application.h"

#include "platform/errors.h"

#include <QEvent>
#include <QMetaEnum>

namespace velix {

VelixApplication::VelixApplication(int &argc, char **argv) : QApplication(argc, argv) {}

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
