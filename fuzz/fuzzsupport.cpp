#include "fuzzsupport.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

namespace velix::fuzz {
namespace {
// Both live until the process ends and are never destroyed: libFuzzer ends
// with exit(), after which Qt's own globals may already be gone.
QGuiApplication *app = nullptr;
QTemporaryDir *dir = nullptr;
std::string dirPath;
int appArgc = 1;
char appName[] = "velix6-fuzz";
char *appArgv[] = {appName, nullptr};

void removeFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(dirPath, ignored);
}
} // namespace

void initialize(int *, char ***)
{
    // Fonts are measured with the real font files: a GUI application, headless.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QGuiApplication(appArgc, appArgv);
    dir = new QTemporaryDir;
    if (!dir->isValid())
        std::abort();
    dir->setAutoRemove(false);
    dirPath = QFile::encodeName(dir->path()).toStdString();
    std::atexit(removeFolder);
    qputenv("KORVANTE_DIR", QFile::encodeName(dir->path()));
    setProgramDir(dir->path());
}

QString folder()
{
    return dir->path();
}

void runOne(const uint8_t *bytes, size_t size, const QString &fileName,
            const std::function<void(const QByteArray &, const QString &)> &read)
{
    const QByteArray data(reinterpret_cast<const char *>(bytes), qsizetype(size));
    QString path;
    if (!fileName.isEmpty()) {
        path = folder() + QLatin1Char('/') + fileName;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
            std::abort();
    }
    try {
        read(data, path);
    } catch (const Error &) {
        // The reader refused the file, as it should refuse a bad one.
    } catch (const std::exception &e) {
        std::fprintf(stderr, "unexpected exception: %s\n", e.what());
        std::abort();
    } catch (...) {
        std::fprintf(stderr, "unexpected exception\n");
        std::abort();
    }
}

} // namespace velix::fuzz
