#include "OsGesture.h"

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>

#include <cstddef>
#include <cstring>

namespace Zentar::App::Os
{

static_assert(sizeof(NativeMessage) <= sizeof(MSG), "NativeMessage must be a prefix of MSG");
static_assert(offsetof(NativeMessage, window) == offsetof(MSG, hwnd));
static_assert(offsetof(NativeMessage, message) == offsetof(MSG, message));
static_assert(offsetof(NativeMessage, wParam) == offsetof(MSG, wParam));
static_assert(offsetof(NativeMessage, lParam) == offsetof(MSG, lParam));
static_assert(offsetof(NativeMessage, time) == offsetof(MSG, time));
static_assert(offsetof(NativeMessage, x) == offsetof(MSG, pt));

static_assert(sizeof(GestureNotifyInfo) == sizeof(GESTURENOTIFYSTRUCT));
static_assert(offsetof(GestureNotifyInfo, location) == offsetof(GESTURENOTIFYSTRUCT, ptsLocation));

static_assert(sizeof(GestureInfo) == sizeof(GESTUREINFO));
static_assert(sizeof(GestureInfo) == 56);
static_assert(offsetof(GestureInfo, flags) == offsetof(GESTUREINFO, dwFlags));
static_assert(offsetof(GestureInfo, id) == offsetof(GESTUREINFO, dwID));
static_assert(offsetof(GestureInfo, target) == offsetof(GESTUREINFO, hwndTarget));
static_assert(offsetof(GestureInfo, location) == offsetof(GESTUREINFO, ptsLocation));
static_assert(offsetof(GestureInfo, sequenceId) == offsetof(GESTUREINFO, dwSequenceID));
static_assert(offsetof(GestureInfo, arguments) == offsetof(GESTUREINFO, ullArguments));
static_assert(offsetof(GestureInfo, extraArgsSize) == offsetof(GESTUREINFO, cbExtraArgs));

static_assert(sizeof(GestureConfig) == sizeof(GESTURECONFIG));
static_assert(sizeof(GestureConfig) == 12);

static_assert(MessageGesture == WM_GESTURE && MessageGestureNotify == WM_GESTURENOTIFY);
static_assert(GestureIdZoom == GID_ZOOM && GestureIdPan == GID_PAN && GestureIdRotate == GID_ROTATE
    && GestureIdTwoFingerTap == GID_TWOFINGERTAP && GestureIdPressAndTap == GID_PRESSANDTAP);
static_assert(GestureFlagBegin == GF_BEGIN && GestureFlagInertia == GF_INERTIA && GestureFlagEnd == GF_END);
static_assert(ConfigPanSingleFingerVertically == GC_PAN_WITH_SINGLE_FINGER_VERTICALLY
    && ConfigPanSingleFingerHorizontally == GC_PAN_WITH_SINGLE_FINGER_HORIZONTALLY
    && ConfigPanWithGutter == GC_PAN_WITH_GUTTER && ConfigPanWithInertia == GC_PAN_WITH_INERTIA);

namespace
{

using CloseGestureInfoHandleFn = BOOL(WINAPI*)(HGESTUREINFO);
using GetGestureInfoFn = BOOL(WINAPI*)(HGESTUREINFO, PGESTUREINFO);
using SetGestureConfigFn = BOOL(WINAPI*)(HWND, DWORD, UINT, PGESTURECONFIG, UINT);
using GetGestureConfigFn = BOOL(WINAPI*)(HWND, DWORD, DWORD, PUINT, PGESTURECONFIG, UINT);

// Looked up by name while the library loads: older systems lack them, and a
// direct import would keep the library from loading there. user32 is always
// loaded already in a GUI process.
struct GestureEntryPoints {
    CloseGestureInfoHandleFn closeGestureInfoHandle = nullptr;
    GetGestureInfoFn getGestureInfo = nullptr;
    SetGestureConfigFn setGestureConfig = nullptr;
    GetGestureConfigFn getGestureConfig = nullptr;

    GestureEntryPoints()
    {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        if (!user32)
            return;
        closeGestureInfoHandle = reinterpret_cast<CloseGestureInfoHandleFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "CloseGestureInfoHandle")));
        getGestureInfo = reinterpret_cast<GetGestureInfoFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "GetGestureInfo")));
        setGestureConfig = reinterpret_cast<SetGestureConfigFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetGestureConfig")));
        getGestureConfig = reinterpret_cast<GetGestureConfigFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "GetGestureConfig")));
    }
};

const GestureEntryPoints entryPoints;

} // namespace

const char* NativeMessageEventType()
{
    return "windows_generic_MSG";
}

bool IsNativeMessageEventType(const char*)
{
    // Every native event of the Windows platform carries a MSG.
    return true;
}

bool GetGestureInfo(GestureInfoHandle handle, GestureInfo* info)
{
    if (!entryPoints.getGestureInfo || !info)
        return false;
    return entryPoints.getGestureInfo(static_cast<HGESTUREINFO>(handle), reinterpret_cast<GESTUREINFO*>(info))
        != FALSE;
}

bool CloseGestureInfoHandle(GestureInfoHandle handle)
{
    if (!entryPoints.closeGestureInfoHandle)
        return false;
    return entryPoints.closeGestureInfoHandle(static_cast<HGESTUREINFO>(handle)) != FALSE;
}

bool SetGestureConfig(
    WindowHandle window, uint32_t reserved, uint32_t count, GestureConfig* configs, uint32_t size)
{
    if (!entryPoints.setGestureConfig)
        return false;
    return entryPoints.setGestureConfig(
               static_cast<HWND>(window), reserved, count, reinterpret_cast<GESTURECONFIG*>(configs), size)
        != FALSE;
}

bool GetGestureConfig(WindowHandle window, uint32_t count, GestureConfig* configs)
{
    if (!entryPoints.getGestureConfig)
        return false;
    UINT wanted = count;
    return entryPoints.getGestureConfig(static_cast<HWND>(window), 0, 0, &wanted,
               reinterpret_cast<GESTURECONFIG*>(configs), sizeof(GESTURECONFIG))
        != FALSE;
}

bool ScreenToClient(WindowHandle window, int32_t* x, int32_t* y)
{
    POINT point { *x, *y };
    if (!::ScreenToClient(static_cast<HWND>(window), &point))
        return false;
    *x = point.x;
    *y = point.y;
    return true;
}

WindowHandle GetParent(WindowHandle window)
{
    return ::GetParent(static_cast<HWND>(window));
}

intptr_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    return ::DefWindowProcW(static_cast<HWND>(window), message, wParam, lParam);
}

void StartGestureSource() { }

void StopGestureSource() { }

bool OfferTouchEvent(QObject*, QEvent*)
{
    return false;
}

GestureInfoHandle OpenGestureInfoHandle(const GestureInfo&)
{
    return nullptr;
}

} // namespace Zentar::App::Os
