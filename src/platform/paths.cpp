#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace velix {
namespace {
QString programDirOverride;

QString withSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

// $XDG_..._HOME when set to an absolute path, else the home folder's default.
QString xdgHome(const char *variable, const QString &fallback)
{
    const QString env = qEnvironmentVariable(variable);
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return QDir::cleanPath(env);
    return QDir::homePath() + fallback;
}
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

QString programWriteDir()
{
    const QString dir = programDir();
    const QFileInfo info(dir);
    if (info.isDir() && info.isWritable())
        return dir;
    return userDataDir();
}

QString userDataDir()
{
    return withSlash(xdgHome("XDG_DATA_HOME", QStringLiteral("/.local/share")) + QStringLiteral("/korvante"));
}

QString userConfigDir()
{
    return withSlash(xdgHome("XDG_CONFIG_HOME", QStringLiteral("/.config")) + QStringLiteral("/korvante"));
}

} // namespace velix
