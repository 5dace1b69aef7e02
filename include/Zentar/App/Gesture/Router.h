#pragma once

#include <Zentar/App/Gesture/Producer.h>

#include <QObject>

namespace Zentar::App
{

/// The producer the application uses: it takes the native messages and finds
/// the consumer among the children of the widget under the finger and of its
/// ancestors, innermost first.
/// The application makes one for the process; GUI thread only.
class ZENTAR_APP_EXPORT Gesture::Router : public QObject, public Gesture::Producer
{
    Q_OBJECT

public:
    /// A router owned by `parent`.
    explicit Router(QObject* parent = nullptr);
    ~Router() override;

    /// `message` is a native message record. True when the message was
    /// consumed, with the answer in *result.
    bool nativeEvent(const QByteArray& eventType, void* message, long* result);

    /// The consumer of the innermost widget under `where` that has one; null when none has.
    Consumer* Route(const Gesture& where) override;
};

} // namespace Zentar::App
