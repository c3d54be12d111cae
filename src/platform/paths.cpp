#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>

namespace velix {
namespace {
QString programDirOverride;
}

QString rootDir()
{
    const QString env = qEnvironmentVariable("KORVANTE_DIR");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
#ifdef Q_OS_WIN
    return QStringLiteral("C:/KORVANTE");
#else
    return QDir::homePath() + QStringLiteral("/korvante");
#endif
}

QString rootPath(const QString &relative)
{
    return rootDir() + QLatin1Char('/') + relative;
}

QString programDir()
{
    QString dir = programDirOverride;
    if (dir.isEmpty())
        dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void setProgramDir(const QString &dir)
{
    programDirOverride = dir;
}

} // namespace velix
