// The Win32 gesture layer: records as user32 fills them, decoded as the
// producer decodes them, and the window calls around them, on real windows.

#include "WinTest.h"

#include "Gesture/GestureArgument.h"
#include "Platform/OsGesture.h"

#include <cmath>
#include <cstring>

using namespace Zentar::WinTest;
namespace Os = Zentar::App::Os;
namespace Argument = Zentar::App::GestureArgument;
using Argument::Point;

namespace
{

// A window of this thread, destroyed with the object; `parent` makes it a child.
struct Window {
    HWND handle = nullptr;
    explicit Window(HWND parent = nullptr)
    {
        WNDCLASSW windowClass {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ZentarGestureWindow";
        RegisterClassW(&windowClass);
        handle = CreateWindowExW(0, windowClass.lpszClassName, L"gestures",
            parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW, 30, 40, 400, 300, parent, nullptr,
            windowClass.hInstance, nullptr);
        REQUIRE_MESSAGE(handle != nullptr, "CreateWindowExW failed: error " << GetLastError());
    }
    ~Window() { DestroyWindow(handle); }
};

// What user32's GetGestureInfo writes into the producer's record.
Os::GestureInfo AsFilled(const GESTUREINFO& native)
{
    Os::GestureInfo info {};
    std::memcpy(&info, &native, sizeof native);
    return info;
}

GESTUREINFO Native(DWORD id, DWORD flags, short x, short y, ULONGLONG arguments)
{
    GESTUREINFO native {};
    native.cbSize = sizeof native;
    native.dwFlags = flags;
    native.dwID = id;
    native.ptsLocation.x = x;
    native.ptsLocation.y = y;
    native.dwInstanceID = 11;
    native.dwSequenceID = 22;
    native.ullArguments = arguments;
    return native;
}

ULONGLONG Halves(int x, int y)
{
    return static_cast<ULONGLONG>(
        static_cast<uint16_t>(x) | static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}

} // namespace

TEST_CASE("gesture records of each kind and flag decode as Windows sends them")
{
    const DWORD flagSets[] = { GF_BEGIN, 0, GF_INERTIA, GF_END, GF_BEGIN | GF_END, GF_INERTIA | GF_END };
    for (const DWORD flags : flagSets) {
        CAPTURE(flags);
        // Negative screen points: monitors left of and above the main one.
        const Os::GestureInfo zoom = AsFilled(Native(GID_ZOOM, flags, -300, -2, 150));
        CHECK(zoom.size == sizeof(GESTUREINFO));
        CHECK(zoom.id == Os::GestureIdZoom);
        CHECK(zoom.location.x == -300);
        CHECK(zoom.location.y == -2);
        CHECK(zoom.instanceId == 11);
        CHECK(zoom.sequenceId == 22);
        CHECK(((zoom.flags & Os::GestureFlagBegin) != 0) == ((flags & GF_BEGIN) != 0));
        CHECK(((zoom.flags & Os::GestureFlagEnd) != 0) == ((flags & GF_END) != 0));
        CHECK(((zoom.flags & Os::GestureFlagInertia) != 0) == ((flags & GF_INERTIA) != 0));
        CHECK(Argument::DecodeDistance(zoom.arguments) == 150);

        // Distance in the low half, inertia vector (1, -1) in the high one.
        const Os::GestureInfo pan = AsFilled(Native(GID_PAN, flags, 500, 400, (Halves(1, -1) << 32) | 37));
        CHECK(pan.id == Os::GestureIdPan);
        CHECK(Argument::DecodeDistance(pan.arguments) == 37);
        CHECK(Argument::DecodeInertiaVector(pan.arguments) == Point(1, -1));
        CHECK(((pan.flags & Os::GestureFlagInertia) != 0) == ((flags & GF_INERTIA) != 0));

        const Os::GestureInfo rotate = AsFilled(Native(GID_ROTATE, flags, 10, 20, 0));
        CHECK(rotate.id == Os::GestureIdRotate);
        CHECK(Argument::DecodeAngle(rotate.arguments) == doctest::Approx(-6.2831853));
        CHECK(Argument::DecodeAngle(AsFilled(Native(GID_ROTATE, flags, 0, 0, 32768)).arguments)
            == doctest::Approx(0.0000959).epsilon(0.01));
        CHECK(Argument::DecodeAngle(AsFilled(Native(GID_ROTATE, flags, 0, 0, 65535)).arguments)
            == doctest::Approx(6.2831853));

        const Os::GestureInfo tap = AsFilled(Native(GID_TWOFINGERTAP, flags, 10, 20, 88));
        CHECK(tap.id == Os::GestureIdTwoFingerTap);
        CHECK(Argument::DecodeDistance(tap.arguments) == 88);

        const Os::GestureInfo pressAndTap
            = AsFilled(Native(GID_PRESSANDTAP, flags, 300, 200, Halves(-20, 5)));
        CHECK(pressAndTap.id == Os::GestureIdPressAndTap);
        CHECK(Point(300, 200) + Argument::DecodeTapOffset(pressAndTap.arguments) == Point(280, 205));
    }
    // The ids of the whole gesture's begin and end, which the producer leaves alone.
    CHECK(AsFilled(Native(GID_BEGIN, GF_BEGIN, 0, 0, 0)).id == Os::GestureIdBegin);
    CHECK(AsFilled(Native(GID_END, GF_END, 0, 0, 0)).id == Os::GestureIdEnd);
}

TEST_CASE("a gesture message posted to a real window arrives as the native message record")
{
    Window window;
    GESTURENOTIFYSTRUCT notify {};
    notify.cbSize = sizeof notify;
    notify.hwndTarget = window.handle;
    notify.ptsLocation.x = -12;
    notify.ptsLocation.y = 345;
    REQUIRE(PostMessageW(window.handle, WM_GESTURENOTIFY, 0, reinterpret_cast<LPARAM>(&notify)));
    REQUIRE(PostMessageW(window.handle, WM_GESTURE, GID_PAN, 0x1234));

    MSG message {};
    REQUIRE(PeekMessageW(&message, window.handle, WM_GESTURENOTIFY, WM_GESTURENOTIFY, PM_REMOVE));
    const auto* record = reinterpret_cast<const Os::NativeMessage*>(&message);
    CHECK(record->window == window.handle);
    CHECK(record->message == Os::MessageGestureNotify);
    CHECK(record->x == message.pt.x);
    CHECK(record->y == message.pt.y);
    const auto* info = reinterpret_cast<const Os::GestureNotifyInfo*>(record->lParam);
    CHECK(info->target == window.handle);
    CHECK(info->location.x == -12);
    CHECK(info->location.y == 345);

    REQUIRE(PeekMessageW(&message, window.handle, WM_GESTURE, WM_GESTURE, PM_REMOVE));
    CHECK(record->message == Os::MessageGesture);
    CHECK(record->wParam == Os::GestureIdPan);
    CHECK(record->lParam == 0x1234);
    CHECK(Os::DefaultWindowProc(window.handle, Os::MessageGesture, 0, 0) == 0);
}

TEST_CASE("window calls of the gesture layer")
{
    Window top;
    Window child(top.handle);
    CHECK(Os::GetParent(child.handle) == top.handle);
    CHECK(Os::GetParent(top.handle) == nullptr);

    POINT origin { 0, 0 };
    REQUIRE(ClientToScreen(child.handle, &origin));
    int32_t x = origin.x + 25;
    int32_t y = origin.y - 7;
    CHECK(Os::ScreenToClient(child.handle, &x, &y));
    CHECK(x == 25);
    CHECK(y == -7);

    // A handle that user32 never gave out is refused, not read.
    Os::GestureInfo info {};
    info.size = sizeof info;
    CHECK_FALSE(Os::GetGestureInfo(reinterpret_cast<Os::GestureInfoHandle>(0x7654321), &info));
    CHECK_FALSE(Os::GetGestureInfo(nullptr, nullptr));
    CHECK_FALSE(Os::CloseGestureInfoHandle(reinterpret_cast<Os::GestureInfoHandle>(0x7654321)));
    CHECK(Os::OpenGestureInfoHandle(info) == nullptr);
    CHECK_FALSE(Os::OfferTouchEvent(nullptr, nullptr));
    CHECK(std::string(Os::NativeMessageEventType()) == "windows_generic_MSG");
}
