#pragma once

#include <Zentar/IO/IDataChannel.h>
#include <Zentar/IO/IOException.h>
#include <Zentar/IO/NamedPipe.h>

#include <QtConcurrent>
#include <QtTest>

inline QStringList PipeFiles()
{
    const QString dir = QFileInfo(QString::fromStdString(Zentar::Core::NamedPipePath("probe"))).absolutePath();
    return QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
}

// A blocking channel read on another thread, so a hang shows as a failure.
inline QString ErrorOfRead(Zentar::Core::IDataChannel* channel)
{
    auto future = QtConcurrent::run([channel] {
        try {
            return QStringLiteral("message: ") + QString::fromStdString(channel->ReadText());
        } catch (const Zentar::Core::IOException& e) {
            return QString::fromUtf8(e.what());
        }
    });
    QElapsedTimer timer;
    timer.start();
    while (!future.isFinished() && timer.elapsed() < 5000)
        QTest::qWait(10);
    return future.isFinished() ? future.result() : QStringLiteral("still waiting");
}
