#pragma once

#include <Zentar/App/Gesture/Consumer.h>

#include <QObject>

namespace Zentar::App
{

/// A consumer that re-emits gestures as signals. The owner switches on the
/// kinds it wants; a change takes effect with the next gesture. Constructed
/// with a widget as parent, it serves that widget.
class ZENTAR_APP_EXPORT Gesture::Emitter : public QObject, public Gesture::Consumer
{
    Q_OBJECT

public:
    /// An emitter that wants nothing yet; `parent` owns it.
    explicit Emitter(QObject* parent = nullptr);
    ~Emitter() override;

    //!@{
    /// Switches one kind of gesture (or pan mode) on or off; all start off.
    void setZoomEnabled(bool on);
    void setRotateEnabled(bool on);
    void setTapEnabled(bool on);
    void setPressAndTapEnabled(bool on);
    void setHorizontalPanEnabled(bool on);
    void setVerticalPanEnabled(bool on);
    void setPanGutterEnabled(bool on);
    void setPanInertiaEnabled(bool on);
    //!@}

Q_SIGNALS:
    //!@{
    /// A record of a gesture of that kind, emitted on the GUI thread.
    void pan(const Zentar::App::Gesture::Pan& gesture);
    void zoom(const Zentar::App::Gesture::Zoom& gesture);
    void rotate(const Zentar::App::Gesture::Rotate& gesture);
    void tap(const Zentar::App::Gesture::Tap& gesture);
    void pressAndTap(const Zentar::App::Gesture::PressAndTap& gesture);
    //!@}

private:
    static int allOrNone(bool on);

    void OnGesture(const Gesture::PressAndTap& gesture) override;
    void OnGesture(const Gesture::Tap& gesture) override;
    void OnGesture(const Gesture::Rotate& gesture) override;
    void OnGesture(const Gesture::Zoom& gesture) override;
    void OnGesture(const Gesture::Pan& gesture) override;

    int WantGesture(const Gesture::PressAndTap& gesture) override;
    int WantGesture(const Gesture::Tap& gesture) override;
    int WantGesture(const Gesture::Rotate& gesture) override;
    int WantGesture(const Gesture::Zoom& gesture) override;
    int WantGesture(const Gesture::Pan& gesture) override;

    bool zoomEnabled = false;
    bool rotateEnabled = false;
    bool tapEnabled = false;
    bool pressAndTapEnabled = false;
    bool horizontalPanEnabled = false;
    bool verticalPanEnabled = false;
    bool panGutterEnabled = false;
    bool panInertiaEnabled = false;
};

} // namespace Zentar::App
