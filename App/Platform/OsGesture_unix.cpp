#include "GestureSource.h"
#include "OsGesture.h"

#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QGuiApplication>
#include <QPointer>
#include <QWindow>

#include <cstring>
#include <unordered_map>

// Windows keeps the gesture configuration and the gesture-information
// handles in the window manager; here they live in this process, per
// QWindow, and a window handle is the QWindow itself.
namespace Zentar::App::Os
{

namespace
{

constexpr const char* kEventType = "zentar_gesture_MSG";

constexpr uint32_t kPanBits = ConfigAll | ConfigPanSingleFingerVertically | ConfigPanSingleFingerHorizontally
    | ConfigPanWithGutter | ConfigPanWithInertia;

uint32_t KindBits(uint32_t id)
{
    return id == GestureIdPan ? kPanBits : ConfigAll;
}

bool IsKind(uint32_t id)
{
    return id >= GestureIdZoom && id <= GestureIdPressAndTap;
}

// What a window produces before anything configured it: everything but
// rotation, pan without single-finger horizontal panning.
GestureSourceConfig DefaultConfig()
{
    GestureSourceConfig config;
    config.enabled[GestureIdZoom - GestureIdZoom] = ConfigAll;
    config.enabled[GestureIdPan - GestureIdZoom]
        = ConfigAll | ConfigPanSingleFingerVertically | ConfigPanWithGutter | ConfigPanWithInertia;
    config.enabled[GestureIdRotate - GestureIdZoom] = 0;
    config.enabled[GestureIdTwoFingerTap - GestureIdZoom] = ConfigAll;
    config.enabled[GestureIdPressAndTap - GestureIdZoom] = ConfigAll;
    return config;
}

struct WindowConfig {
    QPointer<QWindow> window;
    GestureSourceConfig config;
};

struct Registry {
    std::unordered_map<QWindow*, WindowConfig> configs;
    std::unordered_map<uintptr_t, GestureInfo> handles;
    uintptr_t nextHandle = 0x4000;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

QWindow* LiveWindow(WindowHandle handle)
{
    if (!handle || !qGuiApp)
        return nullptr;
    // The handle may come from anywhere; only dereference a window that exists.
    const auto windows = QGuiApplication::allWindows();
    for (QWindow* window : windows) {
        if (window == handle)
            return window;
    }
    return nullptr;
}

WindowConfig* ConfigEntry(QWindow* window, bool create)
{
    auto& configs = registry().configs;
    auto it = configs.find(window);
    if (it != configs.end() && !it->second.window) {
        // A window that died left its entry; a new window may have its address.
        configs.erase(it);
        it = configs.end();
    }
    if (it == configs.end()) {
        if (!create)
            return nullptr;
        it = configs.emplace(window, WindowConfig { QPointer<QWindow>(window), DefaultConfig() }).first;
    }
    return &it->second;
}

} // namespace

const char* NativeMessageEventType()
{
    return kEventType;
}

bool IsNativeMessageEventType(const char* eventType)
{
    return eventType && std::strcmp(eventType, kEventType) == 0;
}

bool GetGestureInfo(GestureInfoHandle handle, GestureInfo* info)
{
    if (!info || info->size != sizeof(GestureInfo))
        return false;
    const auto& handles = registry().handles;
    const auto it = handles.find(reinterpret_cast<uintptr_t>(handle));
    if (it == handles.end())
        return false;
    *info = it->second;
    info->size = sizeof(GestureInfo);
    return true;
}

bool CloseGestureInfoHandle(GestureInfoHandle handle)
{
    return registry().handles.erase(reinterpret_cast<uintptr_t>(handle)) != 0;
}

GestureInfoHandle OpenGestureInfoHandle(const GestureInfo& info)
{
    auto& reg = registry();
    const uintptr_t handle = reg.nextHandle++;
    reg.handles[handle] = info;
    return reinterpret_cast<GestureInfoHandle>(handle);
}

bool SetGestureConfig(WindowHandle handle, uint32_t, uint32_t count, GestureConfig* configs, uint32_t size)
{
    QWindow* window = LiveWindow(handle);
    if (!window || !configs || size != sizeof(GestureConfig))
        return false;
    GestureSourceConfig& config = ConfigEntry(window, true)->config;
    for (uint32_t i = 0; i < count; ++i) {
        const GestureConfig& entry = configs[i];
        if (entry.id == 0) {
            // Id 0 speaks for every kind, with ConfigAll as its only bit.
            for (uint32_t id = GestureIdZoom; id <= GestureIdPressAndTap; ++id) {
                uint32_t& enabled = config.enabled[id - GestureIdZoom];
                if (entry.want & ConfigAll)
                    enabled = KindBits(id);
                if (entry.block & ConfigAll)
                    enabled = 0;
            }
            continue;
        }
        if (!IsKind(entry.id))
            continue;
        // Bits in neither want nor block keep their state.
        uint32_t& enabled = config.enabled[entry.id - GestureIdZoom];
        enabled = ((enabled | entry.want) & ~entry.block) & KindBits(entry.id);
    }
    return true;
}

bool GetGestureConfig(WindowHandle handle, uint32_t count, GestureConfig* configs)
{
    QWindow* window = LiveWindow(handle);
    if (!window || !configs)
        return false;
    const GestureSourceConfig config = GestureConfigOf(window);
    for (uint32_t i = 0; i < count; ++i) {
        GestureConfig& entry = configs[i];
        if (!IsKind(entry.id))
            return false;
        entry.want = config.enabled[entry.id - GestureIdZoom];
        entry.block = KindBits(entry.id) & ~entry.want;
    }
    return true;
}

GestureSourceConfig GestureConfigOf(QWindow* window)
{
    const WindowConfig* entry = ConfigEntry(window, false);
    return entry ? entry->config : DefaultConfig();
}

bool ScreenToClient(WindowHandle handle, int32_t* x, int32_t* y)
{
    QWindow* window = LiveWindow(handle);
    if (!window || !x || !y)
        return false;
    const QPoint client = window->mapFromGlobal(QPoint(*x, *y));
    *x = client.x();
    *y = client.y();
    return true;
}

WindowHandle GetParent(WindowHandle handle)
{
    QWindow* window = LiveWindow(handle);
    return window ? window->parent() : nullptr;
}

bool SendNativeMessage(const NativeMessage& message, intptr_t* result)
{
    long answer = 0;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    NativeMessage copy = message;
    if (dispatcher
        && dispatcher->filterNativeEvent(
            QByteArray::fromRawData(kEventType, int(std::strlen(kEventType))), &copy, &answer)) {
        if (result)
            *result = answer;
        return true;
    }
    const intptr_t fallback
        = DefaultWindowProc(message.window, message.message, message.wParam, message.lParam);
    if (result)
        *result = fallback;
    return false;
}

intptr_t DefaultWindowProc(WindowHandle handle, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (message != MessageGesture)
        return 0;
    // A child window's gesture goes up to its parent; at the top it ends
    // unhandled, and the handle with it.
    if (QWindow* parent = static_cast<QWindow*>(GetParent(handle))) {
        intptr_t result = 0;
        SendNativeMessage(NativeMessage { parent, message, wParam, lParam, 0, 0, 0 }, &result);
        return result;
    }
    CloseGestureInfoHandle(reinterpret_cast<GestureInfoHandle>(lParam));
    return 0;
}

void StartGestureSource()
{
    GestureSource::Start();
}

void StopGestureSource()
{
    GestureSource::Stop();
}

bool OfferTouchEvent(QObject* receiver, QEvent* event)
{
    return GestureSource::Offer(receiver, event);
}

} // namespace Zentar::App::Os
