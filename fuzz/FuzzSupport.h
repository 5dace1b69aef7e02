#pragma once

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <glog/logging.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

namespace Fuzz
{

// A private folder per process: home, XDG folders, temporary files and the
// working directory, so that nothing a fuzzed input names lands elsewhere.
inline const QString& Scratch()
{
    static const QString dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/zentar-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        const QString path = QString::fromStdString(pattern);
        std::atexit([] { QDir(Scratch()).removeRecursively(); });
        return path;
    }();
    return dir;
}

[[noreturn]] inline void Fail(const std::string& what)
{
    std::fprintf(stderr, "FUZZ CHECK FAILED: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void WriteFile(const QString& path, const void* data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(static_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        Fail("cannot write " + path.toStdString());
}

inline void WriteFile(const QString& path, const std::string& text)
{
    WriteFile(path, text.data(), text.size());
}

// Environment of a test run, set before any Qt object exists. Library log
// lines are dropped unless ZENTAR_FUZZ_LOG is set: bad input logs on
// every run and the output would dominate the time.
inline void PrepareEnvironment()
{
    const QByteArray dir = Scratch().toUtf8();
    for (const char* name : { "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME" }) {
        const QByteArray path = dir + '/' + name;
        QDir().mkpath(QString::fromUtf8(path));
        qputenv(name, path);
    }
    qputenv("XDG_RUNTIME_DIR", dir);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    if (chdir(dir.constData()) != 0)
        Fail("cannot enter " + dir.toStdString());
    if (!qEnvironmentVariableIsSet("ZENTAR_FUZZ_LOG")) {
        FLAGS_minloglevel = google::GLOG_FATAL;
        qputenv("QT_LOGGING_RULES", "*=false");
    }
}

// The QApplication for targets that need no application object of the
// library. Never destroyed: the offscreen platform plugin loses its screen
// objects on the way out, which the leak check would report at every exit.
inline void StartQApplication()
{
    PrepareEnvironment();
    static int argc = 1;
    static char name[] = "zentar-fuzz";
    static char* argv[] = { name, nullptr };
    new QApplication(argc, argv);
}

inline std::string Text(const uint8_t* data, size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

} // namespace Fuzz
