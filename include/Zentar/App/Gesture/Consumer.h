#pragma once

#include <Zentar/App/Gesture/Gesture.h>

namespace Zentar::App
{

/// Receives gesture records. A consumer takes part in routing by being a
/// QObject child of the widget it serves; by default it wants nothing.
/// Called on the GUI thread.
class ZENTAR_APP_EXPORT Gesture::Consumer
{
public:
    virtual ~Consumer();

    //!@{
    /// A record of a gesture this consumer wanted; the base does nothing.
    virtual void OnGesture(const Gesture::PressAndTap& gesture);
    virtual void OnGesture(const Gesture::Tap& gesture);
    virtual void OnGesture(const Gesture::Rotate& gesture);
    virtual void OnGesture(const Gesture::Zoom& gesture);
    virtual void OnGesture(const Gesture::Pan& gesture);
    //!@}

    //!@{
    /// Asked once per gesture, before it starts; see Gesture::All. The base
    /// answers Gesture::None.
    virtual int WantGesture(const Gesture::PressAndTap& gesture);
    virtual int WantGesture(const Gesture::Tap& gesture);
    virtual int WantGesture(const Gesture::Rotate& gesture);
    virtual int WantGesture(const Gesture::Zoom& gesture);
    virtual int WantGesture(const Gesture::Pan& gesture);
    //!@}

protected:
    Consumer() = default;
    //!@{
    /// Copied only as part of a derived class.
    Consumer(const Consumer&) = default;
    Consumer& operator=(const Consumer&) = default;
    //!@}
};

} // namespace Zentar::App
