#include "platform/system.h"
#include "version.h"

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

namespace velix {

QString NomeUsuarioWindows()
{
    QString name;
#ifndef Q_OS_WIN
    // getpwuid_r so that a missing passwd entry (containers, odd set-ups) just gives no name.
    struct passwd pwd;
    struct passwd *result = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &pwd, buffer, sizeof buffer, &result) == 0 && result && result->pw_name)
        name = QString::fromLocal8Bit(result->pw_name);
#endif
    if (name.isEmpty())
        name = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return name.left(49);
}

QString programFileVersion()
{
    return QString::asprintf("%d.%d.%d.%d", VELIX6_VERSION_MAJOR, VELIX6_VERSION_MINOR,
                             VELIX6_VERSION_PATCH, VELIX6_VERSION_TWEAK);
}

} // namespace velix
