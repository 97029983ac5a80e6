// What the built Sonadesk.exe says about itself to Windows and to a debugger, read back from the
// file: its version resource, its application manifest, and that it ships without debug sections
// while Sonadesk.exe.debug beside it holds them behind a matching debug link.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "res/version.h"

namespace sona {
namespace {

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One string of the version resource's US English, Unicode block, or "(missing)".
std::string VersionString(const std::vector<char>& info, const char* name) {
    std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
    char* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(info.data(), key.c_str(), (void**)&value, &len) || !value) return "(missing)";
    return std::string(value);
}

TEST(ExeVersion, NamesTheProductItsMakerAndTheCaptionsVersion) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA("Sonadesk.exe", &ignored);
    ASSERT_GT(size, 0u) << "Sonadesk.exe has no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA("Sonadesk.exe", 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void**)&fixed, &len));
    ASSERT_EQ(len, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, (DWORD)MAKELONG(2, 1));  // 1.2
    EXPECT_EQ(fixed->dwFileVersionLS, (DWORD)MAKELONG(0, 7));  // .7.0
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, (DWORD)VFT_APP);
    EXPECT_EQ(fixed->dwFileOS, (DWORD)VOS_NT_WINDOWS32);
    EXPECT_EQ(fixed->dwFileFlags & VS_FF_DEBUG, 0u);

    struct {
        const char* name;
        std::string want;
    } const strings[] = {
        {"ProductName", "Varnel Sonadesk"},
        {"CompanyName", "Varnel"},
        {"FileVersion", "1.2.7.0"},
        {"ProductVersion", "1.2.7.0"},
        {"OriginalFilename", "Sonadesk.exe"},
    };
    for (const auto& s : strings) EXPECT_EQ(VersionString(info, s.name), s.want) << s.name;
    std::string description = VersionString(info, "FileDescription");
    EXPECT_NE(description, "(missing)");
    EXPECT_GT(description.size(), 8u);
    // The caption shows "Varnel Sonadesk V1.2.7": the same three numbers as the resource.
    EXPECT_EQ("V" + VersionString(info, "FileVersion").substr(0, 5), std::string("V1.2.7"));
}

// The value of attribute `attr` on every element named `element` (a plain scan: the manifest is
// our own, flat XML without entities or CDATA).
std::vector<std::string> Attributes(const std::string& xml, const std::string& element, const std::string& attr) {
    std::vector<std::string> out;
    size_t at = 0;
    while ((at = xml.find("<" + element, at)) != std::string::npos) {
        size_t end = xml.find('>', at);
        char next = xml[at + 1 + element.size()];
        if (next == ' ' || next == '\n' || next == '\r' || next == '\t' || next == '/' || next == '>') {
            std::string tag = xml.substr(at, end - at);
            size_t a = tag.find(" " + attr + "=\"");
            if (a == std::string::npos) a = tag.find("\n" + attr + "=\"");
            if (a != std::string::npos) {
                size_t v = a + attr.size() + 3;
                out.push_back(tag.substr(v, tag.find('"', v) - v));
            }
        }
        at = end;
    }
    return out;
}

// The text between <element ...> and </element>, or "(missing)".
std::string ElementText(const std::string& xml, const std::string& element) {
    size_t at = xml.find("<" + element);
    if (at == std::string::npos) return "(missing)";
    size_t open = xml.find('>', at) + 1;
    size_t close = xml.find("</" + element + ">", open);
    return close == std::string::npos ? "(missing)" : xml.substr(open, close - open);
}

class ExeManifest : public ::testing::Test {
protected:
    void SetUp() override {
        HMODULE exe = LoadLibraryExA("Sonadesk.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(exe, nullptr);
        HRSRC r = FindResourceA(exe, MAKEINTRESOURCEA(1), (LPCSTR)RT_MANIFEST);
        if (r) xml.assign((const char*)LockResource(LoadResource(exe, r)), SizeofResource(exe, r));
        FreeLibrary(exe);
        ASSERT_FALSE(xml.empty()) << "Sonadesk.exe has no application manifest (RT_MANIFEST 1)";
    }
    std::string xml;
};

TEST_F(ExeManifest, AsksForCommonControls6AsInvokerOnWindows7To11WithoutDpiAwareness) {
    EXPECT_EQ(xml.compare(0, 5, "<?xml"), 0);
    EXPECT_EQ(Attributes(xml, "assemblyIdentity", "name"),
              (std::vector<std::string>{"Varnel.Sonadesk", "Microsoft.Windows.Common-Controls"}));
    EXPECT_EQ(Attributes(xml, "assemblyIdentity", "version"), (std::vector<std::string>{"1.2.7.0", "6.0.0.0"}));
    EXPECT_EQ(Attributes(xml, "assemblyIdentity", "processorArchitecture"), (std::vector<std::string>{"*", "*"}));
    EXPECT_EQ(Attributes(xml, "assemblyIdentity", "publicKeyToken"), (std::vector<std::string>{"6595b64144ccf1df"}));
    EXPECT_EQ(Attributes(xml, "requestedExecutionLevel", "level"), (std::vector<std::string>{"asInvoker"}));
    EXPECT_EQ(Attributes(xml, "requestedExecutionLevel", "uiAccess"), (std::vector<std::string>{"false"}));
    std::vector<std::string> os = Attributes(xml, "supportedOS", "Id");
    const std::set<std::string> want = {
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
    };
    EXPECT_EQ(std::set<std::string>(os.begin(), os.end()), want);
    EXPECT_EQ(os.size(), want.size());
    EXPECT_EQ(ElementText(xml, "dpiAware"), "false");
    EXPECT_EQ(xml.find("dpiAwareness"), std::string::npos) << "a second, contradicting DPI setting";
}

// This test program carries the same resource script, manifest included: the common controls it
// gets are the version 6 ones the program asks for, loaded side by side from the system's
// assembly store (DllGetVersion cannot tell: Wine reports 5.81 from both), and the standard
// control classes (a push button) come from them.
TEST(CommonControls, TheProcessRunsWithVersion6) {
    InitCommonControls();
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(comctl, path, MAX_PATH);
    std::string lower(path);
    for (char& c : lower) c = (char)tolower((unsigned char)c);
    EXPECT_NE(lower.find("\\winsxs\\"), std::string::npos) << path;
    EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << path;

    HWND button = CreateWindowExA(0, "Button", "v6", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    HMODULE owner = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)GetWindowLongPtrW(button, GWLP_WNDPROC), &owner);
    EXPECT_EQ(owner, comctl) << "the push button is not the version 6 one";
    DestroyWindow(button);
    // A tooltip control, as every skinned control makes one.
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(tip, nullptr);
    DestroyWindow(tip);
}

// --- the debug information ---------------------------------------------------------------------

struct Section {
    std::string name;
    uint32_t offset, size, used;  // file offset, size in the file, size of the contents
};

// The section table of a PE file, long names ("/123") resolved through the COFF string table.
std::vector<Section> Sections(const std::string& pe, uint32_t* symbolTable) {
    std::vector<Section> out;
    if (pe.size() < 0x40 || pe.compare(0, 2, "MZ") != 0) return out;
    uint32_t nt = *(const uint32_t*)&pe[0x3C];
    if (pe.compare(nt, 4, std::string("PE\0\0", 4)) != 0) return out;
    const IMAGE_FILE_HEADER* fh = (const IMAGE_FILE_HEADER*)&pe[nt + 4];
    *symbolTable = fh->PointerToSymbolTable;
    uint32_t strings = fh->PointerToSymbolTable + fh->NumberOfSymbols * 18;
    const IMAGE_SECTION_HEADER* sh =
        (const IMAGE_SECTION_HEADER*)&pe[nt + 4 + sizeof(IMAGE_FILE_HEADER) + fh->SizeOfOptionalHeader];
    for (int i = 0; i < fh->NumberOfSections; ++i) {
        std::string name((const char*)sh[i].Name, strnlen((const char*)sh[i].Name, 8));
        if (name[0] == '/' && fh->PointerToSymbolTable) {
            uint32_t at = strings + (uint32_t)atoi(name.c_str() + 1);
            if (at < pe.size()) name = std::string(&pe[at]);
        }
        out.push_back({name, sh[i].PointerToRawData, sh[i].SizeOfRawData, sh[i].Misc.VirtualSize});
    }
    return out;
}

uint32_t Crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// The DLLs Windows loads with the program, before its first instruction, are its import table.
// Only the system's core belongs there: GDI+, COM and the common controls are bound on first use,
// after the main window's first paint and after the DLL search is confined to the system folder.
TEST(ExeImports, OnlyTheSystemCoreLoadsWithTheProgram) {
    const DWORD kAsImageResource = 0x20;  // LOAD_LIBRARY_AS_IMAGE_RESOURCE: mapped as an image, not run
    HMODULE exe = LoadLibraryExA("Sonadesk.exe", nullptr, kAsImageResource);
    ASSERT_NE(exe, nullptr);
    const BYTE* base = (const BYTE*)((ULONG_PTR)exe & ~(ULONG_PTR)3);
    const auto* nt = (const IMAGE_NT_HEADERS*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::set<std::string> names;
    for (const auto* d = (const IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress); dir.VirtualAddress && d->Name; d++) {
        std::string name((const char*)base + d->Name);
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        names.insert(name);
    }
    FreeLibrary(exe);
    EXPECT_EQ(names, (std::set<std::string>{"advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "user32.dll"}));
}

TEST(ExeDebugInformation, ShippedWithoutItAndLinkedToTheFileBesideIt) {
    std::string exe = ReadFile("Sonadesk.exe");
    ASSERT_GT(exe.size(), 100000u);
    uint32_t symbols = 1;
    std::vector<Section> sections = Sections(exe, &symbols);
    ASSERT_FALSE(sections.empty()) << "Sonadesk.exe is not a PE file";
    // The COFF symbol table stays (function names for a backtrace without the debug file); only
    // the DWARF sections leave.
    const Section* link = nullptr;
    for (const Section& s : sections) {
        EXPECT_NE(s.name.compare(0, 6, ".debug"), 0) << s.name;
        EXPECT_NE(s.name[0], '/') << s.name;
        if (s.name == ".gnu_debuglink") link = &s;
    }
    ASSERT_NE(link, nullptr) << "no debug link";
    // The link: the file name, NUL, padding to 4 bytes, then the CRC-32 of that file.
    std::string body = exe.substr(link->offset, link->size);
    std::string name(body.c_str());
    EXPECT_EQ(name, "Sonadesk.exe.debug");
    size_t crcAt = (name.size() + 1 + 3) & ~size_t(3);
    ASSERT_GE(body.size(), crcAt + 4);
    uint32_t crc = *(const uint32_t*)&body[crcAt];

    std::string debug = ReadFile("Sonadesk.exe.debug");
    ASSERT_FALSE(debug.empty()) << "Sonadesk.exe.debug is missing";
    EXPECT_EQ(Crc32(debug), crc) << "the debug link names another build's symbols";
    std::set<std::string> names;
    const Section* lines = nullptr;
    std::vector<Section> debugSections = Sections(debug, &symbols);
    for (const Section& s : debugSections) {
        names.insert(s.name);
        if (s.name == ".debug_line") lines = &s;
    }
    for (const char* want : {".debug_info", ".debug_line", ".debug_abbrev"})
        EXPECT_TRUE(names.count(want)) << "Sonadesk.exe.debug has no " << want;
    // The program's own code in DWARF 2 to 4: Wine's debugger reads no later version (its
    // backtraces then show bare addresses, not Sonadesk's functions and lines). GCC writes each
    // unit's line table in the unit's version; up to 4 the table names its files inline.
    ASSERT_NE(lines, nullptr);
    std::set<std::string> dwarf4Files;
    size_t at = lines->offset, end = lines->offset + std::min(lines->size, lines->used);
    while (at + 10 <= end) {
        uint32_t length = *(const uint32_t*)&debug[at];
        uint16_t version = *(const uint16_t*)&debug[at + 4];
        if (length == 0 || length == 0xFFFFFFFFu) break;
        size_t next = at + 4 + length;
        if (version >= 2 && version <= 4) {
            size_t p = at + 15 + (version >= 4 ? 1 : 0);  // past the lengths and the line fields
            uint8_t opcodeBase = (uint8_t)debug[p - 1];
            p += opcodeBase - 1;
            while (p < next && debug[p]) p += strlen(&debug[p]) + 1;  // include directories
            ++p;
            while (p < next && debug[p]) {  // file names, each with three LEB128 numbers
                dwarf4Files.insert(&debug[p]);
                p += strlen(&debug[p]) + 1;
                for (int k = 0; k < 3; ++k)
                    while (p < next && (debug[p++] & 0x80)) {
                    }
            }
        }
        at = next;
    }
    for (const char* source : {"WinMain.cpp", "MainDeskWindow.cpp", "LayeredItemWindow.cpp", "PictureItem.cpp",
                               "MediaItem.cpp", "TextItem.cpp", "DeskStore.cpp", "Dialog.cpp"}) {
        bool found = false;
        for (const std::string& f : dwarf4Files)
            if (f.size() >= strlen(source) && f.compare(f.size() - strlen(source), std::string::npos, source) == 0 &&
                (f.size() == strlen(source) || f[f.size() - strlen(source) - 1] == '/'))
                found = true;
        EXPECT_TRUE(found) << source << " has no DWARF 4 line table";
    }
    // Most of the weight was debug information; what ships is the program and its resources.
    EXPECT_LT(exe.size(), 4u * 1024 * 1024);
    EXPECT_GT(debug.size(), exe.size());
}

}  // namespace
}  // namespace sona
