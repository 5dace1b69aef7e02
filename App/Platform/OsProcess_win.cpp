#include "OsProcess.h"

#include <windows.h>

#include <shellapi.h> // needs windows.h first
#include <stdlib.h>

namespace Zentar::App::Os
{

ProcessHandle StartWithShell(
    const std::wstring& file, const std::wstring& parameters, const std::wstring& directory, int showCommand)
{
    SHELLEXECUTEINFOW info {};
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

ProcessHandle DuplicateProcessHandle(ProcessHandle handle)
{
    HANDLE copy = nullptr;
    if (!handle
        || !DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(handle), GetCurrentProcess(), &copy,
            0, FALSE, DUPLICATE_SAME_ACCESS))
        return 0;
    return reinterpret_cast<ProcessHandle>(copy);
}

uint32_t GetCurrentProcessId()
{
    return ::GetCurrentProcessId();
}

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

ProcessHandle OpenProcess(uint32_t processId)
{
    return reinterpret_cast<ProcessHandle>(::OpenProcess(PROCESS_ALL_ACCESS, TRUE, processId));
}

EventHandle CreateManualResetEvent()
{
    return reinterpret_cast<EventHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

void SetEvent(EventHandle event)
{
    if (event)
        ::SetEvent(reinterpret_cast<HANDLE>(event));
}

void CloseEvent(EventHandle event)
{
    if (event)
        CloseHandle(reinterpret_cast<HANDLE>(event));
}

WaitResult WaitForProcessOrEvent(ProcessHandle process, EventHandle event, int timeoutMs)
{
    HANDLE handles[2];
    DWORD count = 0;
    if (process)
        handles[count++] = reinterpret_cast<HANDLE>(process);
    if (event)
        handles[count++] = reinterpret_cast<HANDLE>(event);
    if (count == 0)
        return WaitResult::Failed;
    const DWORD result = WaitForMultipleObjects(
        count, handles, FALSE, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    if (result == WAIT_TIMEOUT)
        return WaitResult::TimedOut;
    if (result >= WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + count)
        return (result == WAIT_OBJECT_0 && process) ? WaitResult::ProcessEnded : WaitResult::EventSet;
    return WaitResult::Failed;
}

} // namespace Zentar::App::Os
