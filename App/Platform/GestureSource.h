#pragma once

#include "OsGesture.h"

class QWindow;

// The Linux side of the gesture layer: the per-window configuration, message
// delivery and the source that recognises gestures in Qt touch events.
namespace Zentar::App::Os
{

struct GestureSourceConfig {
    // Enabled configuration bits per kind, indexed by id - GestureIdZoom.
    uint32_t enabled[5] = {};

    uint32_t Of(uint32_t id) const { return enabled[id - GestureIdZoom]; }
    bool Wants(uint32_t id) const { return (Of(id) & ConfigAll) != 0; }
    bool Any() const
    {
        for (uint32_t bits : enabled)
            if (bits & ConfigAll)
                return true;
        return false;
    }
};

GestureSourceConfig GestureConfigOf(QWindow* window);

// Hands a message to the application's native event filters; when none takes
// it, the default window procedure answers. True when a filter took it.
bool SendNativeMessage(const NativeMessage& message, intptr_t* result);

namespace GestureSource
{
// Counted: the source runs while at least one Start is not matched by Stop.
void Start();
void Stop();
// False while the source does not run.
bool Offer(QObject* receiver, QEvent* event);
} // namespace GestureSource

} // namespace Zentar::App::Os
