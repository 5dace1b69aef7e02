#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Processes, environment and named mutexes of the operating system, in plain
// C++ types. Process handles are 64-bit integers, 0 when the call failed.
namespace Zentar::App::Os
{

using ProcessHandle = uint64_t;

// Starts `file` with the default verb, like a double click: an executable
// runs with `parameters` split as a command line; any other file opens in
// its associated program. `directory` empty means the current one.
// Returns a handle of the started process (the caller closes it), 0 on failure.
ProcessHandle StartWithShell(
    const std::wstring& file, const std::wstring& parameters, const std::wstring& directory, int showCommand);
void CloseProcessHandle(ProcessHandle handle);
// A second handle of the same process, closed on its own; 0 on failure.
ProcessHandle DuplicateProcessHandle(ProcessHandle handle);

uint32_t GetCurrentProcessId();

// Sets one variable of this process's environment from "NAME=value".
void PutEnvironment(const std::wstring& assignment);

// A named mutex held by this process while the returned handle lives; other
// processes see the name as taken. Never empty: a failed creation still gives
// a handle (that holds nothing), as the caller does not examine it.
std::shared_ptr<void> CreateNamedMutex(const std::wstring& name);

// Opens process `processId` for watching its end; 0 when it cannot be
// opened. The caller closes it with CloseProcessHandle.
ProcessHandle OpenProcess(uint32_t processId);

// A manual-reset event: once set, it stays set. 0 when it cannot be created.
using EventHandle = uint64_t;
EventHandle CreateManualResetEvent();
void SetEvent(EventHandle event);
void CloseEvent(EventHandle event);

enum class WaitResult { ProcessEnded, EventSet, TimedOut, Failed };

// Blocks until the process has ended or the event is set, whichever comes
// first (the process when both); a negative time-out waits without limit.
// A zero handle is left out of the wait; with both zero it fails at once.
WaitResult WaitForProcessOrEvent(ProcessHandle process, EventHandle event, int timeoutMs = -1);

} // namespace Zentar::App::Os
