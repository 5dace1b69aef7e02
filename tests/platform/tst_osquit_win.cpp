// The end of the desktop session on Windows: window messages to a real
// window, handed on as the application's native event filter hands them.

#include "WinTest.h"

#include "Platform/OsQuit.h"

using namespace Zentar::WinTest;
namespace Os = Zentar::App::Os;

namespace
{

std::vector<Os::SessionEndMessage> g_seen;
int g_closed = 0;

// Qt hands a window's messages to the native event filters as this MSG.
LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    const Os::SessionEndMessage kind
        = Os::HandleSessionEndMessage("windows_generic_MSG", &msg, [] { ++g_closed; });
    if (kind != Os::SessionEndMessage::None)
        g_seen.push_back(kind);
    if (message == WM_QUERYENDSESSION)
        return TRUE; // the session may end
    if (message == WM_ENDSESSION)
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

struct SessionWindow {
    HWND handle = nullptr;
    SessionWindow()
    {
        WNDCLASSW windowClass {};
        windowClass.lpfnWndProc = SessionWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ZentarSessionEndTest";
        RegisterClassW(&windowClass);
        handle = CreateWindowExW(0, windowClass.lpszClassName, L"session end", WS_OVERLAPPEDWINDOW, 0, 0, 100,
            100, nullptr, nullptr, windowClass.hInstance, nullptr);
        REQUIRE_MESSAGE(handle != nullptr, "CreateWindowExW failed: error " << GetLastError());
        g_seen.clear();
        g_closed = 0;
    }
    ~SessionWindow() { DestroyWindow(handle); }
};

} // namespace

TEST_CASE("only a session that is really ending calls the session-closing hook")
{
    SessionWindow window;
    using Kind = Os::SessionEndMessage;

    // Asked, then told the end was called off: the session stays open.
    CHECK(SendMessageW(window.handle, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF) == TRUE);
    SendMessageW(window.handle, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    CHECK(g_closed == 0);
    SendMessageW(window.handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"other"));
    CHECK(g_closed == 0);

    // Asked again, and this time it ends.
    CHECK(SendMessageW(window.handle, WM_QUERYENDSESSION, 0, 0) == TRUE);
    CHECK(g_closed == 0);
    SendMessageW(window.handle, WM_ENDSESSION, TRUE, 0);
    CHECK(g_closed == 1);
    CHECK(g_seen == std::vector<Kind> { Kind::Query, Kind::Cancelled, Kind::Query, Kind::Ending });

    // The same message under another system's event type is not this one's.
    MSG ending {};
    ending.hwnd = window.handle;
    ending.message = WM_ENDSESSION;
    ending.wParam = TRUE;
    CHECK(Os::HandleSessionEndMessage("xcb_generic_event_t", &ending, [] { ++g_closed; }) == Kind::None);
    CHECK(Os::HandleSessionEndMessage("windows_dispatcher_MSG", &ending, [] { ++g_closed; }) == Kind::Ending);
    CHECK(g_closed == 2);
}
