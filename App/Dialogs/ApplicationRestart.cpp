#include <Zentar/App/Application.h>
#include <Zentar/App/RestartApplication.h>

namespace Zentar::App {

void Application::TryToRestart(Zentar::Enums::WorkingMode mode, QString arguments)
{
    RestartApplication(mode, QPixmap(), arguments);
}

} // namespace Zentar::App
