#pragma once

#include <Zentar/App/Gesture/Producer.h>

#include <QObject>

namespace Zentar::App
{

// The producer the application uses: it takes the native messages and finds
// the consumer among the children of the widget under the finger and of its
// ancestors, innermost first.
class ZENTAR_APP_EXPORT Gesture::Router : public QObject, public Gesture::Producer
{
    Q_OBJECT

public:
    explicit Router(QObject* parent = nullptr);
    ~Router() override;

    // `message` is a native message record. True when the message was
    // consumed, with the answer in *result.
    bool nativeEvent(const QByteArray& eventType, void* message, long* result);

    Consumer* Route(const Gesture& where) override;
};

} // namespace Zentar::App
