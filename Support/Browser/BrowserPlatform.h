#pragma once

#include <optional>
#include <string>
#include <vector>

// What finding and starting a browser needs from the operating system. Text
// is UTF-8.
namespace Zentar::Browser::Platform
{

// How to start a browser: a program and its arguments, an argument holding
// "%s" taking the URL; `environment` ("NAME=value") is added to the
// process's own. `executable` is the browser itself, which differs from
// `program` when a launcher starts it (a sandbox runner): what the product
// records and names the browser by.
struct Command {
    std::string program;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    std::string executable;
};

// The browser the desktop opens web links with; never a text-mode browser.
std::optional<Command> DesktopDefaultBrowser();
// Programs that stand for "the system's browser", in order of preference.
std::vector<std::string> GenericBrowserPrograms();
// The executable that a browser recorded by an earlier run or the installer
// names, empty when it is gone or cannot open a page in a window by itself
// (a launcher, a text-mode browser).
std::string ResolveRecordedBrowser(const std::string& recorded);
// Hands the URL to the desktop's own opener; false when that failed.
bool OpenWithDesktop(const std::string& url);
// The platform part of a user-agent text ("X11; Linux x86_64").
std::string UserAgentPlatform();

} // namespace Zentar::Browser::Platform
