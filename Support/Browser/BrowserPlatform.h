#pragma once

#include <optional>
#include <string>
#include <vector>

// What finding and starting a browser needs from the operating system. Text
// is UTF-8.
namespace Zentar::Browser::Platform
{

// A program and its arguments; an argument holding "%s" takes the URL.
struct Command {
    std::string program;
    std::vector<std::string> arguments;
};

// The browser the desktop opens web links with.
std::optional<Command> DesktopDefaultBrowser();
// Programs that stand for "the system's browser", in order of preference.
std::vector<std::string> GenericBrowserPrograms();
// Hands the URL to the desktop's own opener; false when that failed.
bool OpenWithDesktop(const std::string& url);
// The platform part of a user-agent text ("X11; Linux x86_64").
std::string UserAgentPlatform();

} // namespace Zentar::Browser::Platform
