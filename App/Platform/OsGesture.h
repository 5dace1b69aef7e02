#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <cstddef>
#include <cstdint>

class QEvent;
class QObject;

// Touch gestures of the operating system, in plain C++ types. The structures
// have the layout of their Win32 counterparts (MSG, GESTURENOTIFYSTRUCT,
// GESTUREINFO, GESTURECONFIG), so the gesture code reads the same records on
// both systems. On Linux the gesture source of this layer recognises the
// gestures from Qt touch events and sends the same messages.
namespace Zentar::App::Os
{

// HWND on Windows; the QWindow* on Linux.
using WindowHandle = void*;
// HGESTUREINFO: valid while the gesture message that carries it is handled.
using GestureInfoHandle = void*;

inline constexpr uint32_t MessageGesture = 0x0119;
inline constexpr uint32_t MessageGestureNotify = 0x011A;

inline constexpr uint32_t GestureIdBegin = 1;
inline constexpr uint32_t GestureIdEnd = 2;
inline constexpr uint32_t GestureIdZoom = 3;
inline constexpr uint32_t GestureIdPan = 4;
inline constexpr uint32_t GestureIdRotate = 5;
inline constexpr uint32_t GestureIdTwoFingerTap = 6;
inline constexpr uint32_t GestureIdPressAndTap = 7;

inline constexpr uint32_t GestureFlagBegin = 1;
inline constexpr uint32_t GestureFlagInertia = 2;
inline constexpr uint32_t GestureFlagEnd = 4;

// Want/block bits of a configuration entry. Every kind has ConfigAll; pan
// has the four options besides.
inline constexpr uint32_t ConfigAll = 1;
inline constexpr uint32_t ConfigPanSingleFingerVertically = 2;
inline constexpr uint32_t ConfigPanSingleFingerHorizontally = 4;
inline constexpr uint32_t ConfigPanWithGutter = 8;
inline constexpr uint32_t ConfigPanWithInertia = 16;

struct Point16 {
    int16_t x;
    int16_t y;
};

struct NativeMessage {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time;
    int32_t x;
    int32_t y;
};

struct GestureNotifyInfo {
    uint32_t size;
    uint32_t flags;
    WindowHandle target;
    Point16 location; // screen coordinates
    uint32_t instanceId;
};

struct GestureInfo {
    uint32_t size;
    uint32_t flags;
    uint32_t id;
    WindowHandle target;
    Point16 location; // screen coordinates
    uint32_t instanceId;
    uint32_t sequenceId;
    uint64_t arguments;
    uint32_t extraArgsSize;
};

struct GestureConfig {
    uint32_t id;
    uint32_t want;
    uint32_t block;
};

// The event type under which the native event filters receive messages.
ZENTAR_APP_TEST_EXPORT const char* NativeMessageEventType();
// Whether a native event of this type carries a NativeMessage.
bool IsNativeMessageEventType(const char* eventType);

// Fills `info` (whose size field the caller sets) for a handle; false when
// the handle is not valid.
ZENTAR_APP_TEST_EXPORT bool GetGestureInfo(GestureInfoHandle handle, GestureInfo* info);
ZENTAR_APP_TEST_EXPORT bool CloseGestureInfoHandle(GestureInfoHandle handle);
// `size` is the size of one entry. An entry with id 0 applies to every kind.
bool SetGestureConfig(
    WindowHandle window, uint32_t reserved, uint32_t count, GestureConfig* configs, uint32_t size);
// Reads back the want and block bits of the kinds named by the ids of
// `configs`.
ZENTAR_APP_TEST_EXPORT bool GetGestureConfig(WindowHandle window, uint32_t count, GestureConfig* configs);

bool ScreenToClient(WindowHandle window, int32_t* x, int32_t* y);
WindowHandle GetParent(WindowHandle window);
intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Starts and stops turning touches into gesture messages. Windows sends the
// messages itself; on Linux this installs the gesture source.
void StartGestureSource();
void StopGestureSource();
// Hands a touch event to the gesture source before anyone else sees it; true
// when the source took it. Application::notify offers every touch event, so
// that the other events do not pay for an application-wide event filter.
// Always false where the system sends the messages itself.
bool OfferTouchEvent(QObject* receiver, QEvent* event);

// A handle that carries `info`, as the gesture source hands them out with
// its messages; null where only the system makes handles (Windows).
ZENTAR_APP_TEST_EXPORT GestureInfoHandle OpenGestureInfoHandle(const GestureInfo& info);

} // namespace Zentar::App::Os
