#include "tempfolders.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velix::test {

TempFolders::TempFolders()
    : m_oldRoot(qgetenv("KORVANTE_DIR")), m_hadRoot(qEnvironmentVariableIsSet("KORVANTE_DIR"))
{
    QDir().mkpath(root());
    QDir().mkpath(program());
    qputenv("KORVANTE_DIR", root().toLocal8Bit());
    setProgramDir(program());
}

TempFolders::~TempFolders()
{
    if (m_hadRoot)
        qputenv("KORVANTE_DIR", m_oldRoot);
    else
        qunsetenv("KORVANTE_DIR");
    setProgramDir(QString());
}

void TempFolders::writeFile(const QString &relative, const QByteArray &bytes) const
{
    const QString path = base() + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QString sourceDir()
{
    // Set by CTest; a benchmark started by hand uses the tree it was built from.
    const QString dir = qEnvironmentVariable("VELIX6_SOURCE_DIR");
    return dir.isEmpty() ? QStringLiteral(VELIX6_SOURCE_TREE) : dir;
}

} // namespace velix::test
