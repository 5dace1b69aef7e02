#pragma once

#include <Zentar/IO/IDataChannel.h>
#include <Zentar/IO/IOException.h>
#include <Zentar/IO/NamedPipe.h>

#include <QtTest>

#include <chrono>
#include <future>
#include <thread>

inline QStringList PipeFiles()
{
    const QString dir
        = QFileInfo(QString::fromStdString(Zentar::Core::NamedPipePath("probe"))).absolutePath();
    return QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

// A blocking channel read on another thread, so a hang shows as a failure.
// The result comes back through std::promise rather than QFuture: its
// synchronisation is visible to ThreadSanitizer, Qt's is not.
inline QString ErrorOfRead(Zentar::Core::IDataChannel* channel)
{
    std::promise<QString> promise;
    std::future<QString> result = promise.get_future();
    std::thread([channel, promise = std::move(promise)]() mutable {
        try {
            promise.set_value(QStringLiteral("message: ") + QString::fromStdString(channel->ReadText()));
        } catch (const Zentar::Core::IOException& e) {
            promise.set_value(QString::fromUtf8(e.what()));
        }
    }).detach();
    const auto ready
        = [&result] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; };
    QElapsedTimer timer;
    timer.start();
    while (!ready() && timer.elapsed() < 5000)
        QTest::qWait(10);
    return ready() ? result.get() : QStringLiteral("still waiting");
}
