#pragma once

#include <Zentar/App/Gesture/Gesture.h>

#include <memory>

namespace Zentar::App
{

/// Turns the gesture messages of a top-level window into records for one
/// consumer: the notification before each gesture picks the consumer (Route)
/// and configures the window after its wishes; the messages that follow are
/// decoded for it.
class ZENTAR_APP_EXPORT Gesture::Producer
{
public:
    /// A producer with no gesture under way.
    Producer();
    virtual ~Producer();
    Producer(const Producer&) = delete;
    Producer& operator=(const Producer&) = delete;

    /// The consumer for a gesture at `where` (position and screenPosition
    /// only), or null. The base finds none.
    virtual Consumer* Route(const Gesture& where);

protected:
    /// For the gesture notification; lParam points to the notification
    /// record. Returns false, so the message takes its default course.
    bool OnGestureNotify(void* window, void* wParam, void* lParam);
    /// For a gesture message; lParam is the gesture-information handle.
    /// True when a record was delivered and the handle closed.
    bool OnGesture(void* window, void* wParam, void* lParam);

private:
    void Init();
    void Fini();

    struct Private;
    // Not const, unlike other private parts: Init and Fini make and destroy it.
    std::unique_ptr<Private> d;
};

} // namespace Zentar::App
