#include <Zentar/App/Gesture/Consumer.h>
#include <Zentar/App/Gesture/Producer.h>

#include "../Platform/OsGesture.h"
#include "GestureArgument.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstring>
#include <unordered_map>

namespace Zentar::App
{

const int Gesture::All = 1;
const int Gesture::None = 0;
// Defined here too, so that a product may take their address.
const int Gesture::PanVertical;
const int Gesture::PanHorizontal;
const int Gesture::PanInertia;
const int Gesture::PanGutter;

namespace
{

void ConfigureKind(Os::GestureConfig& entry, int answer)
{
    const bool wanted = answer == Gesture::All;
    entry.want = wanted ? Os::ConfigAll : 0;
    entry.block = wanted ? 0 : Os::ConfigAll;
}

void ConfigurePan(Os::GestureConfig& entry, int mask)
{
    entry.want = mask != 0 ? Os::ConfigAll : 0;
    entry.block = mask == 0 ? Os::ConfigAll : 0;
    const auto option = [&](uint32_t nativeBit, bool on) { (on ? entry.want : entry.block) |= nativeBit; };
    const bool all = (mask & Gesture::All) != 0;
    option(Os::ConfigPanSingleFingerVertically, all || (mask & Gesture::PanVertical));
    option(Os::ConfigPanSingleFingerHorizontally, all || (mask & Gesture::PanHorizontal));
    option(Os::ConfigPanWithInertia, all || (mask & Gesture::PanInertia));
    option(Os::ConfigPanWithGutter, all || (mask & Gesture::PanGutter));
}

} // namespace

struct Gesture::Producer::Private {
    // One array, so that SetGestureConfig takes all of it at once.
    Os::GestureConfig entries[5] = {
        { Os::GestureIdZoom, 0, Os::ConfigAll },
        { Os::GestureIdPan, 0,
            Os::ConfigPanSingleFingerVertically | Os::ConfigPanSingleFingerHorizontally
                | Os::ConfigPanWithGutter | Os::ConfigPanWithInertia },
        { Os::GestureIdRotate, 0, Os::ConfigAll },
        { Os::GestureIdTwoFingerTap, 0, Os::ConfigAll },
        { Os::GestureIdPressAndTap, 0, Os::ConfigAll },
    };
    Os::GestureConfig& zoom = entries[0];
    Os::GestureConfig& pan = entries[1];
    Os::GestureConfig& rotate = entries[2];
    Os::GestureConfig& twoFingerTap = entries[3];
    Os::GestureConfig& pressAndTap = entries[4];

    // What one window's gestures go to. Each window has its own: two
    // windows may gesture at once, and one may glide on while the other
    // starts a gesture.
    struct Conversation {
        Consumer* consumer = nullptr;
        // The consumer as the QObject it normally is: deleted, it turns
        // null, and a hidden one takes no more gestures.
        QPointer<QObject> object;
        bool guarded = false;
        // Values of the last begin message of each kind; they hold across gestures.
        double zoomStartDistance = 0;
        double rotateStartAngle = 0;
        QPoint panStartPosition;

        Consumer* Live() const
        {
            if (!guarded)
                return consumer;
            if (!object)
                return nullptr;
            const auto* widget
                = qobject_cast<QWidget*>(object->isWidgetType() ? object.data() : object->parent());
            return widget && !widget->isVisible() ? nullptr : consumer;
        }
    };
    std::unordered_map<void*, Conversation> conversations;
};

Gesture::Producer::Producer()
{
    Init();
}

Gesture::Producer::~Producer()
{
    Fini();
}

void Gesture::Producer::Init()
{
    d = std::make_unique<Private>();
}

void Gesture::Producer::Fini()
{
    d.reset();
}

Gesture::Consumer* Gesture::Producer::Route(const Gesture&)
{
    return nullptr;
}

bool Gesture::Producer::OnGestureNotify(void* window, void*, void* lParam)
{
    if (!lParam)
        return false;
    Os::GestureNotifyInfo notify;
    std::memcpy(&notify, lParam, sizeof(notify));

    int32_t x = notify.location.x;
    int32_t y = notify.location.y;
    Os::ScreenToClient(window, &x, &y);

    Gesture probe;
    probe.position = QPoint(x, y);
    probe.screenPosition = QPoint(notify.location.x, notify.location.y);

    Consumer* consumer = Route(probe);
    // Windows whose consumer is gone have nothing left to say.
    for (auto it = d->conversations.begin(); it != d->conversations.end();) {
        if (it->second.guarded && !it->second.object)
            it = d->conversations.erase(it);
        else
            ++it;
    }
    Private::Conversation& conversation = d->conversations[window];
    if (consumer) {
        const auto like = [&probe](auto record) {
            static_cast<Gesture&>(record) = probe;
            return record;
        };
        const int zoom = consumer->WantGesture(like(Zoom()));
        const int pan = consumer->WantGesture(like(Pan()));
        const int rotate = consumer->WantGesture(like(Rotate()));
        const int tap = consumer->WantGesture(like(Tap()));
        const int pressAndTap = consumer->WantGesture(like(PressAndTap()));
        ConfigureKind(d->zoom, zoom);
        ConfigurePan(d->pan, pan);
        ConfigureKind(d->rotate, rotate);
        ConfigureKind(d->twoFingerTap, tap);
        ConfigureKind(d->pressAndTap, pressAndTap);
        Os::SetGestureConfig(window, 0, 5, d->entries, sizeof(Os::GestureConfig));
    } else {
        Os::GestureConfig blockAll { 0, 0, Os::ConfigAll };
        Os::SetGestureConfig(window, 0, 1, &blockAll, sizeof(Os::GestureConfig));
    }
    conversation.consumer = consumer;
    conversation.object = dynamic_cast<QObject*>(consumer);
    conversation.guarded = !conversation.object.isNull();
    return false;
}

bool Gesture::Producer::OnGesture(void* window, void*, void* lParam)
{
    const auto found = d->conversations.find(window);
    if (found == d->conversations.end())
        return false;
    Private::Conversation& conversation = found->second;
    Consumer* consumer = conversation.Live();
    if (!consumer)
        return false;

    Os::GestureInfo info {};
    info.size = sizeof(info);
    if (!Os::GetGestureInfo(lParam, &info))
        return false;

    Gesture common;
    common.screenPosition = QPoint(info.location.x, info.location.y);
    int32_t x = info.location.x;
    int32_t y = info.location.y;
    Os::ScreenToClient(window, &x, &y);
    common.position = QPoint(x, y);
    common.begin = (info.flags & Os::GestureFlagBegin) != 0;
    common.end = (info.flags & Os::GestureFlagEnd) != 0;

    switch (info.id) {
    case Os::GestureIdZoom: {
        if (common.begin)
            conversation.zoomStartDistance
                = static_cast<double>(GestureArgument::DecodeDistance(info.arguments));
        Zoom zoom;
        static_cast<Gesture&>(zoom) = common;
        zoom.startDistance = conversation.zoomStartDistance;
        zoom.distance = static_cast<double>(GestureArgument::DecodeDistance(info.arguments));
        consumer->OnGesture(zoom);
        break;
    }
    case Os::GestureIdPan: {
        if (common.begin)
            conversation.panStartPosition = common.position;
        Pan pan;
        static_cast<Gesture&>(pan) = common;
        pan.startPosition = conversation.panStartPosition;
        pan.distance = GestureArgument::DecodeDistance(info.arguments);
        pan.inertiaVector = GestureArgument::DecodeInertiaVector(info.arguments);
        pan.inertia = (info.flags & Os::GestureFlagInertia) != 0;
        consumer->OnGesture(pan);
        break;
    }
    case Os::GestureIdRotate: {
        const double angle = GestureArgument::DecodeAngle(info.arguments);
        if (common.begin)
            conversation.rotateStartAngle = angle;
        Rotate rotate;
        static_cast<Gesture&>(rotate) = common;
        rotate.startAngle = conversation.rotateStartAngle;
        rotate.angle = angle;
        consumer->OnGesture(rotate);
        break;
    }
    case Os::GestureIdTwoFingerTap: {
        Tap tap;
        static_cast<Gesture&>(tap) = common;
        tap.distance = GestureArgument::DecodeDistance(info.arguments);
        consumer->OnGesture(tap);
        break;
    }
    case Os::GestureIdPressAndTap: {
        PressAndTap pressAndTap;
        static_cast<Gesture&>(pressAndTap) = common;
        pressAndTap.tapPosition = common.position + GestureArgument::DecodeTapOffset(info.arguments);
        consumer->OnGesture(pressAndTap);
        break;
    }
    default:
        // Begin and end of the whole gesture, and anything unknown, keep
        // their default processing, which also closes the handle.
        return false;
    }

    Os::CloseGestureInfoHandle(lParam);
    return true;
}

} // namespace Zentar::App
