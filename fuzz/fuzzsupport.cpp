#include "fuzzsupport.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

namespace velix::fuzz {
namespace {
std::unique_ptr<QGuiApplication> app;
std::unique_ptr<QTemporaryDir> dir;
int appArgc = 1;
char appName[] = "velix6-fuzz";
char *appArgv[] = {appName, nullptr};
} // namespace

void initialize(int *, char ***)
{
    // Fonts are measured with the real font files: a GUI application, headless.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(appArgc, appArgv);
    dir = std::make_unique<QTemporaryDir>();
    if (!dir->isValid())
        std::abort();
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
