#include "app/CrashReport.h"

#include <windows.h>

#include <dbghelp.h>
#include <tlhelp32.h>

#include <algorithm>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

#include "platform/LateBound.h"
#include "platform/Text.h"
#include "res/version.h"
#include "store/DataFolder.h"

namespace sona {

namespace {

// What abort() and std::terminate become, so that they leave a report like any other crash.
const DWORD kAbortException = 0xE0414254;  // "\xE0ABT"

// Raised when a DLL or function bound on first use is missing (platform/LazyImports.cpp, with
// the DLL's and the function's names as its two parameters).
const DWORD kDllMissing = 0xC06D007E;
const DWORD kFunctionMissing = 0xC06D007F;

const wchar_t kMarker[] = L"Unreported";

// Prepared at installation: after a crash nothing that might fail is looked up any more.
wchar_t crashFolder[1024];
char buildId[40];
volatile LONG crashing = 0;

struct Crash {
    EXCEPTION_POINTERS* pointers;
    DWORD threadId;
};

std::wstring Folder() { return crashFolder; }

// The report names ("Sonadesk-<UTC time>-<process>") in the folder, oldest first.
std::vector<std::wstring> ReportStems() {
    std::vector<std::wstring> stems;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((Folder() + L"Sonadesk-*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return stems;
    do {
        std::wstring name = found.cFileName;
        size_t dot = name.find_last_of(L'.');
        if (dot == std::wstring::npos) continue;
        std::wstring stem = name.substr(0, dot);
        if (std::find(stems.begin(), stems.end(), stem) == stems.end()) stems.push_back(stem);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(stems.begin(), stems.end());
    return stems;
}

// Room for one more report: the oldest ones go.
void TrimReports() {
    std::vector<std::wstring> stems = ReportStems();
    for (size_t i = 0; i + kCrashReportsKept <= stems.size(); ++i)
        for (const wchar_t* ext : {L".dmp", L".txt"}) DeleteFileW((Folder() + stems[i] + ext).c_str());
}

class TextOut {
public:
    void Add(const char* format, ...) {
        char line[2048];
        va_list args;
        va_start(args, format);
        int n = vsnprintf(line, sizeof line, format, args);
        va_end(args);
        if (n > 0) text.append(line, std::min<size_t>((size_t)n, sizeof line - 1));
    }
    std::string text;
};

// An address as the report prints it: "0x" and every hex digit of a pointer, upper case.
std::string Hex(uintptr_t value) {
    char text[2 + 2 * sizeof value + 1];
    text[0] = '0';
    text[1] = 'x';
    for (size_t i = 0; i < 2 * sizeof value; ++i)
        text[2 + i] = "0123456789ABCDEF"[(value >> (4 * (2 * sizeof value - 1 - i))) & 0xF];
    text[sizeof text - 1] = '\0';
    return text;
}

struct Module {
    std::string path;
    uintptr_t base;
    uintptr_t size;
};

std::vector<Module> LoadedModules() {
    std::vector<Module> modules;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snap == INVALID_HANDLE_VALUE) return modules;
    MODULEENTRY32W m;
    m.dwSize = sizeof m;
    for (BOOL more = Module32FirstW(snap, &m); more; more = Module32NextW(snap, &m))
        modules.push_back({WideToUtf8(m.szExePath), (uintptr_t)m.modBaseAddr, (uintptr_t)m.modBaseSize});
    CloseHandle(snap);
    std::sort(modules.begin(), modules.end(), [](const Module& a, const Module& b) { return a.base < b.base; });
    return modules;
}

// The image base a module was linked for, read from its file: the debug file's addresses are
// that base plus the offset into the module.
uintptr_t LinkedImageBase(const std::string& path) {
    HANDLE f = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 0;
    char head[4096] = {};
    DWORD got = 0;
    ReadFile(f, head, sizeof head, &got, nullptr);
    CloseHandle(f);
    LONG nt = got >= 0x40 ? *(const LONG*)&head[0x3C] : 0;
    if (nt <= 0 || (DWORD)nt + 24 + 32 > got || memcmp(&head[nt], "PE\0\0", 4) != 0) return 0;
    const char* optional = &head[nt + 24];
    if (*(const WORD*)optional == IMAGE_NT_OPTIONAL_HDR64_MAGIC) return (uintptr_t) * (const ULONGLONG*)&optional[24];
    return *(const DWORD*)&optional[28];
}

const char* ExceptionName(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "integer division by zero";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return "array bounds exceeded";
    case EXCEPTION_IN_PAGE_ERROR: return "in-page error";
    case EXCEPTION_PRIV_INSTRUCTION: return "privileged instruction";
    case 0xC0000409: return "stack buffer overrun";
    case kAbortException: return "abort (a failed check or an uncaught C++ exception)";
    case kDllMissing: return "a DLL bound on first use could not be loaded";
    case kFunctionMissing: return "a function bound on first use is missing from its DLL";
    }
    return "exception";
}

bool WriteAll(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, nullptr) && written == bytes.size();
    CloseHandle(f);
    return ok;
}

// Leaves the writer's own thread out of the dump: it shows nothing of the crash, and Wine would
// store its whole stack, most of the dump's size.
BOOL CALLBACK LeaveOutWriter(void* writer, PMINIDUMP_CALLBACK_INPUT in, PMINIDUMP_CALLBACK_OUTPUT) {
    if (in && (in->CallbackType == IncludeThreadCallback || in->CallbackType == ThreadCallback ||
               in->CallbackType == ThreadExCallback))
        return in->CallbackType == IncludeThreadCallback ? in->IncludeThread.ThreadId != (ULONG)(UINT_PTR)writer
                                                         : in->Thread.ThreadId != (ULONG)(UINT_PTR)writer;
    return TRUE;
}

// Runs on a thread of its own: a dump written by the crashing thread would show the writer's
// frames on top of the fault's, and that thread's stack may be what failed.
DWORD WINAPI WriteReport(void* arg) {
    const Crash& crash = *(const Crash*)arg;
    CreateFolderTree(WideToUtf8(Folder()));
    TrimReports();

    SYSTEMTIME now;
    GetSystemTime(&now);
    wchar_t stem[96];
    swprintf(stem, 96, L"Sonadesk-%04u%02u%02u-%02u%02u%02u-%lu", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond, GetCurrentProcessId());
    std::wstring dumpPath = Folder() + stem + L".dmp", textPath = Folder() + stem + L".txt";

    // A small dump: the threads, their stacks and registers, the modules and the exception.
    bool dumped = false;
    using WriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                      PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);
    if (auto writeDump = LateBound<WriteDumpFn>("dbghelp.dll", "MiniDumpWriteDump")) {
        HANDLE f = CreateFileW(dumpPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            MINIDUMP_EXCEPTION_INFORMATION info{crash.threadId, crash.pointers, FALSE};
            MINIDUMP_CALLBACK_INFORMATION leaveOut{LeaveOutWriter, (void*)(UINT_PTR)GetCurrentThreadId()};
            dumped = writeDump(GetCurrentProcess(), GetCurrentProcessId(), f, MiniDumpNormal, &info, nullptr, &leaveOut);
            CloseHandle(f);
            if (!dumped) DeleteFileW(dumpPath.c_str());
        }
    }

    const EXCEPTION_RECORD& record = *crash.pointers->ExceptionRecord;
    uintptr_t address = (uintptr_t)record.ExceptionAddress;
    std::vector<Module> modules = LoadedModules();
    TextOut out;
    out.Add("Sonadesk closed unexpectedly.\r\n\r\n");
    out.Add("Version: %s (%d-bit)\r\n", SONA_VERSION_TEXT, (int)sizeof(void*) * 8);
    out.Add("Build: %s\r\n", buildId);
    out.Add("Time: %04u-%02u-%02u %02u:%02u:%02u UTC\r\n", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
            now.wSecond);
    out.Add("Exception: 0x%08lX, %s, at %s", (unsigned long)record.ExceptionCode, ExceptionName(record.ExceptionCode),
            Hex(address).c_str());
    for (const Module& m : modules)
        if (address >= m.base && address < m.base + m.size) {
            std::string name = m.path.substr(m.path.find_last_of('\\') + 1);
            uintptr_t linked = LinkedImageBase(m.path);
            out.Add(" (%s+0x%lX", name.c_str(), (unsigned long)(address - m.base));
            if (linked) out.Add("; in its debug file %s", Hex(linked + (address - m.base)).c_str());
            out.Add(")");
        }
    out.Add("\r\n");
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2)
        out.Add("Access: %s %s\r\n",
                record.ExceptionInformation[0] == 0 ? "reading" : record.ExceptionInformation[0] == 8 ? "executing" : "writing",
                Hex(record.ExceptionInformation[1]).c_str());
    if ((record.ExceptionCode == kDllMissing || record.ExceptionCode == kFunctionMissing) &&
        record.NumberParameters == 2 && record.ExceptionInformation[0] && record.ExceptionInformation[1])
        out.Add("Binding: %.100s, %.200s\r\n", (const char*)record.ExceptionInformation[0],
                (const char*)record.ExceptionInformation[1]);
    out.Add("Thread: %lu\r\n", (unsigned long)crash.threadId);
    out.Add("Dump: %s\r\n", dumped ? WideToUtf8(std::wstring(stem) + L".dmp").c_str() : "(none could be written)");
    out.Add("\r\nModules:\r\n");
    for (const Module& m : modules)
        out.Add("  %s 0x%08lX %s\r\n", Hex(m.base).c_str(), (unsigned long)m.size, m.path.c_str());
    if (WriteAll(textPath, out.text)) WriteAll(Folder() + kMarker, WideToUtf8(textPath));
    return 0;
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pointers) {
    // A second fault, perhaps in the writer itself: end without another report.
    if (InterlockedExchange(&crashing, 1)) return EXCEPTION_EXECUTE_HANDLER;
    Crash crash{pointers, GetCurrentThreadId()};
    // Its own stack, not a share of what may be an exhausted one.
    HANDLE writer = CreateThread(nullptr, 256 * 1024, WriteReport, &crash, 0, nullptr);
    if (writer) {
        WaitForSingleObject(writer, 60000);
        CloseHandle(writer);
    }
    return EXCEPTION_EXECUTE_HANDLER;  // the process ends with the exception's code
}

// abort() (a failed stack check, a failed assertion) and an uncaught C++ exception end the
// process without a structured exception; this makes them one, caught above.
void RaiseAbort() { RaiseException(kAbortException, EXCEPTION_NONCONTINUABLE, 0, nullptr); }
void OnAbortSignal(int) { RaiseAbort(); }

// The CRC the exe's debug link holds for its .debug file. The link section is mapped with the
// image; its long name is not (that lives in the COFF string table), so it is found by its
// contents: the debug file's name, NUL, padding to four bytes, the CRC.
DWORD DebugLinkCrc(HMODULE module, const std::string& debugName) {
    const BYTE* base = (const BYTE*)module;
    const auto* nt = (const IMAGE_NT_HEADERS*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
    const IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
    size_t crcAt = (debugName.size() + 1 + 3) & ~size_t(3);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s) {
        if (s->Misc.VirtualSize < crcAt + 4 || s->SizeOfRawData < crcAt + 4) continue;
        const char* body = (const char*)base + s->VirtualAddress;
        if (_strnicmp(body, debugName.c_str(), debugName.size() + 1) == 0) return *(const DWORD*)(body + crcAt);
    }
    return 0;
}

}  // namespace

std::string BuildId() {
    HMODULE exe = GetModuleHandleW(nullptr);
    const BYTE* base = (const BYTE*)exe;
    const auto* nt = (const IMAGE_NT_HEADERS*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(exe, path, MAX_PATH * 2 - 1);
    std::string name = WideToUtf8(path);
    name = name.substr(name.find_last_of('\\') + 1) + ".debug";
    char id[40];
    snprintf(id, sizeof id, "%08lx-%08lx", (unsigned long)nt->FileHeader.TimeDateStamp,
             (unsigned long)DebugLinkCrc(exe, name));
    return id;
}

void InstallCrashReporter() {
    std::wstring folder = Utf8ToWide(GetDataFolder() + "Crashes\\");
    if (folder.size() >= sizeof crashFolder / sizeof crashFolder[0]) return;
    wcscpy(crashFolder, folder.c_str());
    std::string id = BuildId();
    snprintf(buildId, sizeof buildId, "%s", id.c_str());
    SetUnhandledExceptionFilter(OnUnhandledException);
    std::set_terminate(RaiseAbort);
    signal(SIGABRT, OnAbortSignal);
}

std::string UnreportedCrash() {
    std::wstring folder = Utf8ToWide(GetDataFolder() + "Crashes\\");
    HANDLE f = CreateFileW((folder + kMarker).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::string();
    char text[4096] = {};
    DWORD got = 0;
    ReadFile(f, text, sizeof text - 1, &got, nullptr);
    CloseHandle(f);
    std::string path(text, got);
    // The report may have been deleted since: then the folder is what can be named.
    if (path.empty() || GetFileAttributesW(Utf8ToWide(path).c_str()) == INVALID_FILE_ATTRIBUTES)
        path = WideToUtf8(folder);
    return path;
}

void MarkCrashReported() { DeleteFileW((Utf8ToWide(GetDataFolder() + "Crashes\\") + kMarker).c_str()); }

}  // namespace sona
