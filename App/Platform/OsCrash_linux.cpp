#include "OsCrash.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <elf.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

namespace Zentar::App::Os
{
namespace
{

// Everything the handlers use is static storage: nothing is allocated while
// the process dies.
constexpr int kFatalSignals[] = { SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT };
constexpr int kSignalCount = sizeof kFatalSignals / sizeof kFatalSignals[0];
constexpr int kMaxFrames = 64;
constexpr size_t kPathSize = 4096;
constexpr size_t kHeaderSize = 2048;
constexpr size_t kModulePathSize = 512;

struct Prepared {
    char reportPath[kPathSize] = {};
    // Two headers, so that one can be replaced while a crash reads the other.
    char headers[2][kHeaderSize] = {};
    std::atomic<int> currentHeader { 0 };
    struct sigaction previous[kSignalCount] = {};
    std::terminate_handler previousTerminate = nullptr;
    bool installed = false;
};
Prepared g_prepared;

// The first thread that gets here writes the report; a crash inside the
// handlers, or one in another thread meanwhile, gets the default action.
std::atomic<bool> g_reportClaimed { false };

// Big enough for the handler with its buffers and a stack overflow's frame.
alignas(16) char g_altStack[64 * 1024];

// Output bounded by the report size, on a descriptor opened at the crash.
struct ReportWriter {
    int fd = -1;
    size_t written = 0;
    char buffer[512];
    size_t used = 0;

    void Flush()
    {
        size_t done = 0;
        while (done < used) {
            const ssize_t n = ::write(fd, buffer + done, used - done);
            if (n <= 0 && errno != EINTR)
                break;
            if (n > 0)
                done += size_t(n);
        }
        used = 0;
    }
    void Raw(const char* text, size_t length)
    {
        // The last bytes are kept for "end", so that a full report still ends.
        if (length > kMaxCrashReportSize - 4 - written)
            length = kMaxCrashReportSize - 4 - written;
        for (size_t i = 0; i < length; ++i) {
            if (used == sizeof buffer)
                Flush();
            buffer[used++] = text[i];
        }
        written += length;
    }
    void Text(const char* text) { Raw(text, std::strlen(text)); }
    // A value on one line: line breaks become spaces.
    void Line(const char* text)
    {
        char c[1];
        for (const char* p = text; *p && written < kMaxCrashReportSize - 4; ++p) {
            c[0] = (*p == '\n' || *p == '\r') ? ' ' : *p;
            Raw(c, 1);
        }
    }
    void Unsigned(uint64_t value, int base = 10)
    {
        char digits[24];
        int n = 0;
        do {
            const int d = int(value % uint64_t(base));
            digits[n++] = char(d < 10 ? '0' + d : 'a' + d - 10);
            value /= uint64_t(base);
        } while (value);
        char out[26];
        int o = 0;
        if (base == 16) {
            out[o++] = '0';
            out[o++] = 'x';
        }
        while (n)
            out[o++] = digits[--n];
        Raw(out, size_t(o));
    }
    void Hex(uint64_t value) { Unsigned(value, 16); }
    void Finish()
    {
        written = 0; // the room kept for it
        Raw("end\n", 4);
        Flush();
    }
};

const char* SignalName(int signal)
{
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "signal";
    }
}

bool OpenReport(ReportWriter& out)
{
    out.fd = ::open(g_prepared.reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    return out.fd >= 0;
}

void WriteHeader(ReportWriter& out)
{
    out.Text(g_prepared.headers[g_prepared.currentHeader.load()]);
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    out.Text("time ");
    out.Unsigned(uint64_t(now.tv_sec));
    out.Text("\npid ");
    out.Unsigned(uint64_t(::getpid()));
    out.Text("\nthread ");
    out.Unsigned(uint64_t(::syscall(SYS_gettid)));
    char name[17] = {};
    if (::prctl(PR_GET_NAME, name, 0, 0, 0) == 0) {
        out.Text(" ");
        out.Line(name);
    }
    out.Text("\n");
}

uint64_t ParseHex(const char*& p, const char* end)
{
    uint64_t value = 0;
    for (; p < end; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9')
            value = value * 16 + uint64_t(c - '0');
        else if (c >= 'a' && c <= 'f')
            value = value * 16 + uint64_t(c - 'a' + 10);
        else
            break;
    }
    return value;
}

struct Frame {
    uint64_t address = 0;
    uint64_t moduleOffset = 0;
    char module[kModulePathSize] = {};
};
Frame g_frames[kMaxFrames];
char g_mapsBuffer[4096];

// One line of /proc/self/maps: "start-end perms offset dev inode   path".
void MatchMapsLine(const char* line, const char* end, Frame* frames, int count)
{
    const char* p = line;
    const uint64_t start = ParseHex(p, end);
    if (p >= end || *p != '-')
        return;
    ++p;
    const uint64_t stop = ParseHex(p, end);
    for (int field = 0; field < 2 && p < end; ++field) { // to the offset
        while (p < end && *p != ' ')
            ++p;
        while (p < end && *p == ' ')
            ++p;
    }
    const uint64_t offset = ParseHex(p, end);
    for (int field = 0; field < 2 && p < end; ++field) { // past device and inode
        while (p < end && *p == ' ')
            ++p;
        while (p < end && *p != ' ')
            ++p;
    }
    while (p < end && *p == ' ')
        ++p;
    if (p >= end || *p != '/')
        return;
    const size_t pathLength = size_t(end - p) < kModulePathSize - 1 ? size_t(end - p) : kModulePathSize - 1;
    for (int i = 0; i < count; ++i) {
        Frame& f = frames[i];
        if (f.module[0] || f.address < start || f.address >= stop)
            continue;
        f.moduleOffset = f.address - start + offset;
        std::memcpy(f.module, p, pathLength);
        f.module[pathLength] = '\0';
    }
}

// Finds each frame's module in the process's mappings, read in pieces.
void ResolveModules(Frame* frames, int count)
{
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    size_t kept = 0;
    for (;;) {
        const ssize_t n = ::read(fd, g_mapsBuffer + kept, sizeof g_mapsBuffer - kept);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        const char* data = g_mapsBuffer;
        const char* end = g_mapsBuffer + kept + size_t(n);
        const char* line = data;
        for (const char* p = data; p < end; ++p) {
            if (*p == '\n') {
                MatchMapsLine(line, p, frames, count);
                line = p + 1;
            }
        }
        kept = size_t(end - line);
        if (kept == sizeof g_mapsBuffer) // a line longer than the buffer
            kept = 0;
        std::memmove(g_mapsBuffer, line, kept);
    }
    ::close(fd);
}

void WriteFrames(ReportWriter& out, void* const* addresses, int count, uintptr_t startAt)
{
    int first = 0;
    // The handler's own frames and the signal trampoline are of no interest:
    // the stack starts where the fault happened, when it can be found.
    if (startAt) {
        for (int i = 0; i < count; ++i) {
            if (uintptr_t(addresses[i]) == startAt) {
                first = i;
                break;
            }
        }
    }
    int n = 0;
    for (int i = first; i < count && n < kMaxFrames; ++i, ++n) {
        g_frames[n] = Frame();
        g_frames[n].address = uint64_t(uintptr_t(addresses[i]));
    }
    ResolveModules(g_frames, n);
    for (int i = 0; i < n; ++i) {
        out.Text("frame ");
        out.Hex(g_frames[i].address);
        out.Text(" ");
        out.Hex(g_frames[i].moduleOffset);
        out.Text(" ");
        out.Line(g_frames[i].module[0] ? g_frames[i].module : "?");
        out.Text("\n");
    }
}

uintptr_t FaultingInstruction(void* context)
{
    if (!context)
        return 0;
    const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return uintptr_t(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return uintptr_t(uc->uc_mcontext.pc);
#else
    (void)uc;
    return 0;
#endif
}

void RestoreDefaultActions()
{
    struct sigaction dfl {
    };
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    for (int signal : kFatalSignals)
        ::sigaction(signal, &dfl, nullptr);
}

void OnFatalSignal(int signal, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    // From here on every fatal signal ends the process: a crash while the
    // report is written cannot come back here.
    RestoreDefaultActions();
    if (!g_reportClaimed.exchange(true)) {
        ReportWriter out;
        if (OpenReport(out)) {
            WriteHeader(out);
            out.Text("cause signal\nsignal ");
            out.Unsigned(uint64_t(signal));
            out.Text(" ");
            out.Text(SignalName(signal));
            out.Text("\ncode ");
            out.Unsigned(uint64_t(uint32_t(info ? info->si_code : 0)));
            // Only a fault has an address; a sent signal carries its sender there.
            out.Text("\naddress ");
            out.Hex(info && info->si_code > 0 ? uint64_t(uintptr_t(info->si_addr)) : 0);
            out.Text("\n");
            void* addresses[kMaxFrames + 8];
            const int count = ::backtrace(addresses, kMaxFrames + 8);
            WriteFrames(out, addresses, count, FaultingInstruction(context));
            out.Finish();
            ::close(out.fd);
        }
    }
    errno = savedErrno;
    // A fault comes back when the handler returns, now to the default
    // action, with the registers of the fault for the core dump. A signal
    // that was sent is sent again: it is blocked until the handler returns.
    if (!info || info->si_code <= 0)
        ::syscall(SYS_tgkill, ::getpid(), ::syscall(SYS_gettid), signal);
}

// An exception nobody caught. Called before the stack unwinds, so the
// frames still show where it was thrown from.
void OnTerminate()
{
    if (!g_reportClaimed.exchange(true)) {
        ReportWriter out;
        if (OpenReport(out)) {
            WriteHeader(out);
            out.Text("cause exception\n");
            if (const std::type_info* type = abi::__cxa_current_exception_type()) {
                out.Text("exception-type ");
                out.Line(type->name());
                out.Text("\n");
                try {
                    std::rethrow_exception(std::current_exception());
                } catch (const std::exception& e) {
                    out.Text("exception-what ");
                    out.Line(e.what());
                    out.Text("\n");
                } catch (...) {
                }
            }
            void* addresses[kMaxFrames];
            const int count = ::backtrace(addresses, kMaxFrames);
            // Past this handler and std::terminate's own frames.
            WriteFrames(out, addresses + (count > 2 ? 2 : 0), count > 2 ? count - 2 : count, 0);
            out.Finish();
            ::close(out.fd);
        }
    }
    // The usual ending: the message on standard error, then abort.
    if (g_prepared.previousTerminate)
        g_prepared.previousTerminate();
    std::abort();
}

void CopyText(char* to, size_t size, const std::string& text)
{
    const size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(to, text.data(), n);
    to[n] = '\0';
}

// Maps a file read-only for the symbol lookup; unmaps on destruction.
class MappedFile
{
public:
    explicit MappedFile(const std::string& path)
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        struct stat st {
        };
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
            void* data = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (data != MAP_FAILED) {
                m_data = static_cast<const unsigned char*>(data);
                m_size = size_t(st.st_size);
            }
        }
        ::close(fd);
    }
    ~MappedFile()
    {
        if (m_data)
            ::munmap(const_cast<unsigned char*>(m_data), m_size);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // A pointer to `count` objects at `offset`, or null when they do not fit.
    template <class T> const T* At(uint64_t offset, uint64_t count = 1) const
    {
        if (!m_data || offset > m_size || count > (m_size - offset) / sizeof(T))
            return nullptr;
        return reinterpret_cast<const T*>(m_data + offset);
    }
    const char* String(uint64_t tableOffset, uint64_t tableSize, uint64_t index) const
    {
        if (index >= tableSize || !At<char>(tableOffset, tableSize))
            return nullptr;
        const char* s = reinterpret_cast<const char*>(m_data + tableOffset + index);
        return std::memchr(s, '\0', size_t(tableSize - index)) ? s : nullptr;
    }

private:
    const unsigned char* m_data = nullptr;
    size_t m_size = 0;
};

} // namespace

bool InstallCrashHandlers(const std::string& reportPath, const std::string& header)
{
    CopyText(g_prepared.reportPath, sizeof g_prepared.reportPath, reportPath);
    SetCrashReportHeader(header);
    if (g_prepared.installed)
        return true;

    // backtrace() loads the unwinder on its first call; that must not happen
    // in a signal handler.
    void* warmUp[1];
    ::backtrace(warmUp, 1);

    // A stack overflow leaves no stack to handle it on. A stack that is
    // already there (a sanitizer's) stays.
    stack_t current {};
    if (::sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE)) {
        stack_t alt {};
        alt.ss_sp = g_altStack;
        alt.ss_size = sizeof g_altStack;
        ::sigaltstack(&alt, nullptr);
    }

    struct sigaction action {
    };
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kFatalSignals[i], &action, &g_prepared.previous[i]);
    g_prepared.previousTerminate = std::set_terminate(OnTerminate);
    g_prepared.installed = true;
    return true;
}

void UninstallCrashHandlers()
{
    if (!g_prepared.installed)
        return;
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kFatalSignals[i], &g_prepared.previous[i], nullptr);
    std::set_terminate(g_prepared.previousTerminate);
    g_prepared.installed = false;
}

void SetCrashReportHeader(const std::string& header)
{
    const int next = 1 - g_prepared.currentHeader.load();
    CopyText(g_prepared.headers[next], kHeaderSize, header);
    g_prepared.currentHeader.store(next);
}

std::string MinidumpPathFor(const std::string&)
{
    return {};
}

bool SymbolizeModuleOffset(
    const std::string& modulePath, uint64_t moduleOffset, std::string* function, uint64_t* offsetInFunction)
{
    const MappedFile file(modulePath);
    const auto* ehdr = file.At<Elf64_Ehdr>(0);
    if (!ehdr || std::memcmp(ehdr->e_ident, ELFMAG, SELFMAG) != 0 || ehdr->e_ident[EI_CLASS] != ELFCLASS64
        || ehdr->e_shentsize != sizeof(Elf64_Shdr) || ehdr->e_phentsize != sizeof(Elf64_Phdr))
        return false;

    // The file offset as an address of the module's own layout.
    const auto* phdrs = file.At<Elf64_Phdr>(ehdr->e_phoff, ehdr->e_phnum);
    if (!phdrs)
        return false;
    uint64_t address = 0;
    bool loaded = false;
    for (int i = 0; i < ehdr->e_phnum && !loaded; ++i) {
        const Elf64_Phdr& ph = phdrs[i];
        if (ph.p_type == PT_LOAD && moduleOffset >= ph.p_offset && moduleOffset - ph.p_offset < ph.p_filesz) {
            address = moduleOffset - ph.p_offset + ph.p_vaddr;
            loaded = true;
        }
    }
    const auto* shdrs = file.At<Elf64_Shdr>(ehdr->e_shoff, ehdr->e_shnum);
    if (!loaded || !shdrs)
        return false;

    // The full table names static functions too; stripped files keep the dynamic one only.
    for (const uint32_t type : { uint32_t(SHT_SYMTAB), uint32_t(SHT_DYNSYM) }) {
        for (int s = 0; s < ehdr->e_shnum; ++s) {
            const Elf64_Shdr& table = shdrs[s];
            if (table.sh_type != type || table.sh_entsize != sizeof(Elf64_Sym)
                || table.sh_link >= ehdr->e_shnum)
                continue;
            const Elf64_Shdr& strings = shdrs[table.sh_link];
            const uint64_t count = table.sh_size / sizeof(Elf64_Sym);
            const auto* symbols = file.At<Elf64_Sym>(table.sh_offset, count);
            if (!symbols)
                continue;
            const Elf64_Sym* best = nullptr;
            for (uint64_t i = 0; i < count; ++i) {
                const Elf64_Sym& sym = symbols[i];
                if (ELF64_ST_TYPE(sym.st_info) != STT_FUNC || sym.st_shndx == SHN_UNDEF
                    || sym.st_value > address)
                    continue;
                if (sym.st_size ? address - sym.st_value < sym.st_size
                                : (!best || (best->st_size == 0 && sym.st_value > best->st_value)))
                    best = &sym;
                if (best && best->st_size)
                    break;
            }
            const char* name
                = best ? file.String(strings.sh_offset, strings.sh_size, best->st_name) : nullptr;
            if (!name || !*name)
                continue;
            int status = -1;
            char* demangled = abi::__cxa_demangle(name, nullptr, nullptr, &status);
            *function = status == 0 && demangled ? demangled : name;
            std::free(demangled);
            *offsetInFunction = address - best->st_value;
            return true;
        }
    }
    return false;
}

} // namespace Zentar::App::Os
