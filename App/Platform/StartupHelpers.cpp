#include <Zentar/App/StartupHelpers.h>

#include <Zentar/Core/AppLocations.h>
#include <Zentar/Core/DyLib.h>

#include <QCoreApplication>

namespace Zentar::App
{

void HighDpiFix()
{
    if (qgetenv("ZENTAR_DPI_POLICY") == "NOSCALE")
        return;

    Zentar::Core::DyLib shcore;
    if (shcore.Open("Shcore.dll")) {
        using SetProcessDpiAwarenessFn = long (*)(int);
        if (auto* fn = reinterpret_cast<SetProcessDpiAwarenessFn>(shcore.GetProc("SetProcessDpiAwareness"))) {
            fn(0); // PROCESS_DPI_UNAWARE: the system scales the whole window
            return;
        }
    }
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
}

void UseDesktopOpenGL()
{
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL);
}

Zentar::ioPath GetPathToResources()
{
    return Zentar::Core::AppLocations::GetLocations().GetResourcesPath();
}

Zentar::ioPath GetPathToFontConfigFile()
{
    return Zentar::Core::AppLocations::GetLocations().GetFontConfigPath();
}

} // namespace Zentar::App
