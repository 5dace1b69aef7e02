#include "OsProcess.h"

#include <windows.h>
#include <shellapi.h>
#include <stdlib.h>

namespace Zentar::App::Os {

ProcessHandle ShellExecute(const std::wstring& file, const std::wstring& parameters,
                           const std::wstring& directory, int showCommand)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = showCommand;
    if (!ShellExecuteExW(&info))
        return 0;
    return reinterpret_cast<ProcessHandle>(info.hProcess);
}

void CloseProcessHandle(ProcessHandle handle)
{
    if (handle)
        CloseHandle(reinterpret_cast<HANDLE>(handle));
}

uint32_t GetCurrentProcessId() { return ::GetCurrentProcessId(); }

void PutEnvironment(const std::wstring& assignment)
{
    _wputenv(assignment.c_str());
}

std::shared_ptr<void> CreateNamedMutex(const std::wstring& name)
{
    HANDLE handle = CreateMutexW(nullptr, FALSE, name.c_str());
    return std::shared_ptr<void>(handle, [](void* h) {
        if (h)
            CloseHandle(h);
    });
}

} // namespace Zentar::App::Os
