// Links against Sonadesk.exe's import library and drives the exported registry class from
// outside the executable, checking each effect with the registry API directly. Prints its
// results in GoogleTest's summary format for the test runner.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "store/CMstRegistry.h"

namespace {

const char* const kBase = "Software\\SonadeskTest";

int failures = 0;
std::vector<std::string> failedNames;
bool currentFailed = false;

#define CHECK(cond)                                                               \
    do {                                                                          \
        if (!(cond)) {                                                            \
            std::printf("%s:%d: Failure\n  Expected: %s\n", __FILE__, __LINE__, #cond); \
            currentFailed = true;                                                 \
        }                                                                         \
    } while (0)

#define CHECK_EQ(a, b)                                                                       \
    do {                                                                                     \
        long long va_ = (long long)(a), vb_ = (long long)(b);                                \
        if (va_ != vb_) {                                                                    \
            std::printf("%s:%d: Failure\n  Expected: %s == %s\n  Which is: %lld vs %lld\n", \
                        __FILE__, __LINE__, #a, #b, va_, vb_);                               \
            currentFailed = true;                                                            \
        }                                                                                    \
    } while (0)

// Deletes a key and everything under it (RegDeleteTree is newer than our target system).
void DeleteTree(HKEY parent, const char* path) {
    HKEY k;
    if (RegOpenKeyExA(parent, path, 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
        char name[256];
        for (;;) {
            DWORD n = sizeof name;
            if (RegEnumKeyExA(k, 0, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            DeleteTree(k, name);
        }
        RegCloseKey(k);
    }
    RegDeleteKeyA(parent, path);
}

// A fresh, ordinary (non-volatile) key under the test base.
HKEY FreshKey(const char* sub) {
    std::string path = std::string(kBase) + "\\" + sub;
    DeleteTree(HKEY_CURRENT_USER, path.c_str());
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                    nullptr, &k, nullptr);
    return k;
}

std::string Path(const char* sub) { return std::string(kBase) + "\\" + sub; }

bool ValueExists(HKEY k, const char* name) {
    return RegQueryValueExA(k, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool HandleValid(HKEY k) {
    DWORD subkeys = 0;
    return RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The address inside a pointer to a non-virtual member function.
template <typename M>
const void* CodeAddress(M m) {
    const void* p = nullptr;
    std::memcpy(&p, &m, sizeof p);
    return p;
}

bool InModule(HMODULE mod, const void* p) {
    if (!mod) return false;
    const BYTE* base = (const BYTE*)mod;
    const IMAGE_DOS_HEADER* dos = (const IMAGE_DOS_HEADER*)base;
    const IMAGE_NT_HEADERS* nt = (const IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    return (const BYTE*)p >= base && (const BYTE*)p < base + nt->OptionalHeader.SizeOfImage;
}


// ---------------------------------------------------------------------------------------------
// Wine's loader maps an executable that another program imports from, but unlike a DLL it
// neither applies its base relocations (when it had to map it away from its preferred base) nor
// fills its import address table. Windows' loader does both for a dependency and only skips the
// entry point. So that the members under test run as they would there, this program finishes
// that loading step itself, and only when it finds it undone.

struct LoaderRepair {
    bool relocated = false;
    bool importsBound = false;
    int relocations = 0;
    int imports = 0;
    bool failed = false;
};

const IMAGE_NT_HEADERS* NtHeaders(HMODULE mod) {
    const BYTE* base = (const BYTE*)mod;
    return (const IMAGE_NT_HEADERS*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
}

// Writes a pointer-sized value into a mapped image page, whatever its protection.
template <class T>
void Patch(T* at, T value) {
    DWORD old = 0;
    VirtualProtect(at, sizeof value, PAGE_EXECUTE_READWRITE, &old);
    *at = value;
    VirtualProtect(at, sizeof value, old, &old);
}

// The object table of the exported class must hold the exported destructor's address; if it
// holds that address less the mapping offset, the relocations were never applied.
bool RelocationsMissing(HMODULE exe, LONG_PTR delta) {
    void** table = (void**)GetProcAddress(exe, "_ZTV12CMstRegistry");
    FARPROC d1 = GetProcAddress(exe, "_ZN12CMstRegistryD1Ev");
    if (!table || !d1 || delta == 0) return false;
    return (LONG_PTR)table[2] == (LONG_PTR)d1 - delta;
}

void ApplyRelocations(HMODULE exe, LONG_PTR delta, LoaderRepair& r) {
    BYTE* base = (BYTE*)exe;
    const IMAGE_DATA_DIRECTORY& dir = NtHeaders(exe)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
    BYTE* p = base + dir.VirtualAddress;
    BYTE* end = p + dir.Size;
    while (p < end) {
        const IMAGE_BASE_RELOCATION* block = (const IMAGE_BASE_RELOCATION*)p;
        if (block->SizeOfBlock < sizeof *block) break;
        const WORD* entries = (const WORD*)(block + 1);
        int count = (int)((block->SizeOfBlock - sizeof *block) / sizeof(WORD));
        for (int i = 0; i < count; ++i) {
            int type = entries[i] >> 12;
            if (type == IMAGE_REL_BASED_ABSOLUTE) continue;
            BYTE* at = base + block->VirtualAddress + (entries[i] & 0xFFF);
            if (type == IMAGE_REL_BASED_HIGHLOW) {
                Patch((DWORD*)at, *(DWORD*)at + (DWORD)delta);
            } else if (type == IMAGE_REL_BASED_DIR64) {
                Patch((ULONGLONG*)at, *(ULONGLONG*)at + (ULONGLONG)delta);
            } else {
                r.failed = true;
                continue;
            }
            ++r.relocations;
        }
        p += block->SizeOfBlock;
    }
    r.relocated = true;
}

// Fills each import slot that still holds its name or ordinal rather than an address.
void BindImports(HMODULE exe, LoaderRepair& r) {
    BYTE* base = (BYTE*)exe;
    const IMAGE_DATA_DIRECTORY& dir = NtHeaders(exe)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return;
    for (const IMAGE_IMPORT_DESCRIPTOR* d = (const IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress); d->Name; ++d) {
        const IMAGE_THUNK_DATA* names =
            (const IMAGE_THUNK_DATA*)(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
        HMODULE lib = nullptr;
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (slots->u1.Function != names->u1.AddressOfData) continue;  // already bound
            if (!lib) lib = LoadLibraryA((const char*)(base + d->Name));
            FARPROC f = nullptr;
            if (lib) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    f = GetProcAddress(lib, (LPCSTR)(ULONG_PTR)IMAGE_ORDINAL(names->u1.Ordinal));
                else
                    f = GetProcAddress(lib, (const char*)((const IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData))->Name);
            }
            if (!f) {
                r.failed = true;
                continue;
            }
            Patch(&slots->u1.Function, (decltype(slots->u1.Function))(ULONG_PTR)f);
            ++r.imports;
        }
    }
    r.importsBound = r.imports > 0;
}

LoaderRepair FinishLoadingExecutable() {
    LoaderRepair r;
    HMODULE exe = GetModuleHandleA("Sonadesk.exe");
    if (!exe) {
        r.failed = true;
        return r;
    }
    LONG_PTR delta = (LONG_PTR)exe - (LONG_PTR)NtHeaders(exe)->OptionalHeader.ImageBase;
    if (RelocationsMissing(exe, delta)) ApplyRelocations(exe, delta, r);
    BindImports(exe, r);
    return r;
}

// ---------------------------------------------------------------------------------------------

void ExportsComeFromTheExecutable() {
    HMODULE exe = GetModuleHandleA("Sonadesk.exe");
    CHECK(exe != nullptr);
    CHECK(exe != GetModuleHandleA(nullptr));
    int (CMstRegistry::*open)(const char*) = &CMstRegistry::Open;
    int (CMstRegistry::*readText)(const char*, RegString*) = &CMstRegistry::Read;
    int (CMstRegistry::*writeNumber)(const char*, unsigned long) = &CMstRegistry::Write;
    void (CMstRegistry::*close)() = &CMstRegistry::Close;
    const void* addrs[] = {CodeAddress(open), CodeAddress(readText), CodeAddress(writeNumber),
                           CodeAddress(close)};
    for (const void* a : addrs) {
        CHECK(InModule(exe, a));
        CHECK(!InModule(GetModuleHandleA(nullptr), a));
    }
    // The same functions by their exported names.
    CHECK(GetProcAddress(exe, "_ZN12CMstRegistry4OpenEPKc") == CodeAddress(open));
    CHECK(GetProcAddress(exe, "_ZN12CMstRegistry9CreateKeyEPKc") != nullptr);
    CHECK(GetProcAddress(exe, "_ZN12CMstRegistryC1EP6HKEY__") != nullptr);
    CHECK(GetProcAddress(exe, "_ZN12CMstRegistryD0Ev") != nullptr);
    // The object's virtual destructor is the executable's as well.
    CMstRegistry* r = new CMstRegistry(HKEY_CURRENT_USER);
    void** vtable = *(void***)r;
    std::printf("  Sonadesk.exe at %p, object's virtual table at %p\n", (void*)exe, (void*)vtable);
    CHECK(InModule(exe, vtable));
    bool vtableOk = InModule(exe, vtable) && InModule(exe, vtable[0]);
    CHECK(vtableOk);
    // Deleting through a broken table would jump anywhere; leave the object instead.
    if (vtableOk) delete r;
}

void ConstructorHoldsRootAndOpensNothing() {
    CMstRegistry byDefault;
    CHECK(byDefault.Key() == HKEY_LOCAL_MACHINE);
    CMstRegistry user(HKEY_CURRENT_USER);
    CHECK(user.Key() == HKEY_CURRENT_USER);
}

void WriteTextStoresSzWithNul() {
    HKEY k = FreshKey("Text");
    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.Open(Path("Text").c_str()), 1);
    CHECK_EQ(reg.Write("s", "abc"), 1);
    DWORD type = 0, size = 0;
    BYTE data[16] = {};
    size = sizeof data;
    CHECK_EQ(RegQueryValueExA(k, "s", nullptr, &type, data, &size), ERROR_SUCCESS);
    CHECK_EQ(type, REG_SZ);
    CHECK_EQ(size, 4);
    CHECK(std::memcmp(data, "abc", 4) == 0);
    RegString back("old");
    CHECK_EQ(reg.Read("s", &back), 1);
    CHECK(back == "abc");
    CHECK_EQ(back.length(), 3);
    // An empty text is a REG_SZ of one byte.
    CHECK_EQ(reg.Write("e", ""), 1);
    size = sizeof data;
    CHECK_EQ(RegQueryValueExA(k, "e", nullptr, &type, data, &size), ERROR_SUCCESS);
    CHECK_EQ(size, 1);
    RegCloseKey(k);
}

void NumbersRoundTripAsDword() {
    HKEY k = FreshKey("Numbers");
    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.Open(Path("Numbers").c_str()), 1);
    CHECK_EQ(reg.Write("i", -5), 1);
    CHECK_EQ(reg.Write("u", 0xDEADBEEFUL), 1);
    DWORD type = 0, size = 4, raw = 0;
    CHECK_EQ(RegQueryValueExA(k, "i", nullptr, &type, (BYTE*)&raw, &size), ERROR_SUCCESS);
    CHECK_EQ(type, REG_DWORD);
    CHECK_EQ(size, 4);
    CHECK_EQ(raw, 0xFFFFFFFBUL);
    size = 4;
    CHECK_EQ(RegQueryValueExA(k, "u", nullptr, &type, (BYTE*)&raw, &size), ERROR_SUCCESS);
    CHECK_EQ(type, REG_DWORD);
    CHECK_EQ(raw, 0xDEADBEEFUL);
    int i = 0;
    unsigned long u = 0;
    CHECK_EQ(reg.Read("i", &i), 1);
    CHECK_EQ(i, -5);
    CHECK_EQ(reg.Read("u", &u), 1);
    CHECK_EQ(u, 0xDEADBEEFUL);
    // Both overloads read the same 4 bytes.
    CHECK_EQ(reg.Read("i", &u), 1);
    CHECK_EQ(u, 0xFFFFFFFBUL);
    CHECK_EQ(reg.Read("u", &i), 1);
    CHECK_EQ((unsigned long)i, 0xDEADBEEFUL);
    // The type is not examined: a 4-byte REG_SZ reads as its bytes.
    CHECK_EQ(reg.Write("s", "abc"), 1);
    CHECK_EQ(reg.Read("s", &u), 1);
    CHECK_EQ(u, 0x00636261UL);
    // More than 4 bytes does not fit and leaves the number alone.
    CHECK_EQ(reg.Write("long", "abcdefgh"), 1);
    u = 77;
    CHECK_EQ(reg.Read("long", &u), 0);
    CHECK_EQ(u, 77);
    RegCloseKey(k);
}

void LongTextFailsAndLeavesDestination() {
    HKEY k = FreshKey("LongText");
    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.Open(Path("LongText").c_str()), 1);
    std::string fits(199, 'x');  // 200 bytes with its NUL
    std::string tooLong(200, 'y');  // 201 bytes
    std::string farTooLong(300, 'z');
    CHECK_EQ(reg.Write("fits", fits.c_str()), 1);
    CHECK_EQ(reg.Write("tooLong", tooLong.c_str()), 1);
    CHECK_EQ(reg.Write("farTooLong", farTooLong.c_str()), 1);
    RegString s("keep");
    CHECK_EQ(reg.Read("fits", &s), 1);
    CHECK(s == fits.c_str());
    s = "keep";
    CHECK_EQ(reg.Read("tooLong", &s), 0);
    CHECK(s == "keep");
    CHECK_EQ(reg.Read("farTooLong", &s), 0);
    CHECK(s == "keep");
    // A 200-byte value without a NUL still ends inside the string.
    char raw[200];
    std::memset(raw, 'q', sizeof raw);
    CHECK_EQ(RegSetValueExA(k, "noNul", 0, REG_BINARY, (const BYTE*)raw, sizeof raw), ERROR_SUCCESS);
    CHECK_EQ(reg.Read("noNul", &s), 1);
    CHECK_EQ(s.length(), 200);
    // Text stops at its first NUL.
    const char embedded[] = "ab\0cd";
    CHECK_EQ(RegSetValueExA(k, "embedded", 0, REG_SZ, (const BYTE*)embedded, sizeof embedded), ERROR_SUCCESS);
    CHECK_EQ(reg.Read("embedded", &s), 1);
    CHECK(s == "ab");
    RegCloseKey(k);
}

void MissingValueLeavesDestination() {
    HKEY k = FreshKey("Missing");
    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.Open(Path("Missing").c_str()), 1);
    int i = 12;
    unsigned long u = 34;
    RegString s("keep");
    CHECK_EQ(reg.Read("nothing", &i), 0);
    CHECK_EQ(reg.Read("nothing", &u), 0);
    CHECK_EQ(reg.Read("nothing", &s), 0);
    CHECK_EQ(i, 12);
    CHECK_EQ(u, 34);
    CHECK(s == "keep");
    CHECK_EQ(reg.DeleteValue("nothing"), 0);
    RegCloseKey(k);
}

void CreateKeyMakesVolatileKeysAndOpensExistingOnes() {
    HKEY base = FreshKey("Create");
    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.CreateKey(Path("Create\\Fresh").c_str()), 1);
    HKEY fresh = reg.Key();
    CHECK(fresh != HKEY_CURRENT_USER);
    CHECK_EQ(reg.Write("v", 1), 1);
    // A volatile key refuses ordinary children.
    HKEY child = nullptr;
    LONG rc = RegCreateKeyExA(fresh, "Child", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                              &child, nullptr);
    CHECK_EQ(rc, ERROR_CHILD_MUST_BE_VOLATILE);
    if (rc == ERROR_SUCCESS) RegCloseKey(child);
    // The same path again opens the key that is there.
    CMstRegistry again(HKEY_CURRENT_USER);
    CHECK_EQ(again.CreateKey(Path("Create\\Fresh").c_str()), 1);
    int v = 0;
    CHECK_EQ(again.Read("v", &v), 1);
    CHECK_EQ(v, 1);
    // An existing ordinary key stays ordinary: it still takes ordinary children.
    CMstRegistry existing(HKEY_CURRENT_USER);
    CHECK_EQ(existing.CreateKey(kBase), 1);
    CHECK_EQ(existing.CreateKey("Create"), 1);
    rc = RegCreateKeyExA(existing.Key(), "Plain", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         &child, nullptr);
    CHECK_EQ(rc, ERROR_SUCCESS);
    if (rc == ERROR_SUCCESS) RegCloseKey(child);
    // A failed CreateKey keeps the key that was current (none, after Close).
    existing.Close();
    CHECK_EQ(existing.CreateKey("Anything"), 0);
    CHECK(existing.Key() == nullptr);
    RegCloseKey(base);
}

void OpenIsRelativeToTheCurrentKey() {
    HKEY base = FreshKey("Relative");
    HKEY deep = nullptr;
    RegCreateKeyExA(base, "A\\B\\C", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deep, nullptr);
    DWORD marker = 4242;
    RegSetValueExA(deep, "marker", 0, REG_DWORD, (const BYTE*)&marker, 4);
    RegCloseKey(deep);

    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.Open(Path("Relative\\A").c_str()), 1);
    HKEY a = reg.Key();
    // Not there under the current key: fails and keeps the key.
    CHECK_EQ(reg.Open("C"), 0);
    CHECK(reg.Key() == a);
    CHECK_EQ(reg.Open("B\\C"), 1);
    CHECK(reg.Key() != a);
    int v = 0;
    CHECK_EQ(reg.Read("marker", &v), 1);
    CHECK_EQ(v, 4242);
    // The replaced sub-key handle was closed, the new one works.
    CHECK(!HandleValid(a));
    CHECK(HandleValid(reg.Key()));
    RegCloseKey(base);
}

void CallersRootIsNeverClosedByReplacement() {
    HKEY root = FreshKey("Root");
    HKEY sub = nullptr;
    RegCreateKeyExA(root, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
    RegCloseKey(sub);
    {
        CMstRegistry reg(root);
        CHECK_EQ(reg.Open("Sub"), 1);
        CHECK_EQ(reg.Write("x", 1), 1);
        CHECK_EQ(reg.Open("Nowhere"), 0);
    }
    CHECK(HandleValid(root));
    CHECK_EQ(RegOpenKeyExA(root, "Sub", 0, KEY_READ, &sub), ERROR_SUCCESS);
    CHECK(ValueExists(sub, "x"));
    RegCloseKey(sub);
    RegCloseKey(root);
}

void DeleteKeyRemovesAValueOfTheKeyPassedIn() {
    HKEY k = FreshKey("DeleteKey");
    HKEY other = FreshKey("DeleteKeyOther");
    HKEY sub = nullptr;
    RegCreateKeyExA(k, "X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
    RegCloseKey(sub);
    DWORD one = 1;
    RegSetValueExA(k, "X", 0, REG_DWORD, (const BYTE*)&one, 4);
    RegSetValueExA(other, "X", 0, REG_DWORD, (const BYTE*)&one, 4);

    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.Open(Path("DeleteKeyOther").c_str()), 1);
    CHECK_EQ(reg.DeleteKey(k, "X"), 1);
    CHECK(!ValueExists(k, "X"));
    // The sub-key of that name survives, and so does the object's own value.
    CHECK_EQ(RegOpenKeyExA(k, "X", 0, KEY_READ, &sub), ERROR_SUCCESS);
    RegCloseKey(sub);
    CHECK(ValueExists(other, "X"));
    CHECK_EQ(reg.DeleteKey(k, "X"), 0);
    RegCloseKey(k);
    RegCloseKey(other);
}

void DeleteValueWorksOnTheCurrentKey() {
    HKEY k = FreshKey("DeleteValue");
    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.Open(Path("DeleteValue").c_str()), 1);
    CHECK_EQ(reg.Write("gone", 5), 1);
    CHECK(ValueExists(k, "gone"));
    CHECK_EQ(reg.DeleteValue("gone"), 1);
    CHECK(!ValueExists(k, "gone"));
    CHECK_EQ(reg.DeleteValue("gone"), 0);
    RegCloseKey(k);
}

void CloseReleasesTheKey() {
    HKEY k = FreshKey("Close");
    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.Open(Path("Close").c_str()), 1);
    HKEY held = reg.Key();
    CHECK(HandleValid(held));
    reg.Close();
    CHECK(reg.Key() == nullptr);
    CHECK(!HandleValid(held));
    int v = 9;
    CHECK_EQ(reg.Write("v", 1), 0);
    CHECK_EQ(reg.Read("v", &v), 0);
    CHECK_EQ(v, 9);
    reg.Close();  // twice is harmless
    CHECK(reg.Key() == nullptr);
    // Closing a predefined root is harmless too.
    CMstRegistry rootOnly(HKEY_CURRENT_USER);
    rootOnly.Close();
    CHECK(HandleValid(HKEY_CURRENT_USER));
    RegCloseKey(k);
}

// Hive saving and restoring need the caller's backup and restore privileges, as on Windows.
bool EnablePrivilege(const char* name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueA(nullptr, name, &tp.Privileges[0].Luid) &&
              AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr) && GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return ok;
}

bool RunningOnWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// Saves a key to a hive file, changes it, and restores the file over it.
void SaveAndRestoreRoundTrip() {
    HKEY k = FreshKey("Hive");
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    std::string file = std::string(dir) + "sonadesk_hive_test.reg";
    DeleteFileA(file.c_str());

    CMstRegistry reg(HKEY_CURRENT_USER);
    CHECK_EQ(reg.Open(Path("Hive").c_str()), 1);
    CHECK_EQ(reg.Write("kept", 11), 1);
    CHECK_EQ(reg.Write("text", "saved"), 1);
    // Without the backup privilege the registry refuses (ERROR_PRIVILEGE_NOT_HELD).
    CHECK_EQ(reg.SaveKey(file.c_str()), 0);
    DeleteFileA(file.c_str());
    CHECK(EnablePrivilege(SE_BACKUP_NAME));
    CHECK(EnablePrivilege(SE_RESTORE_NAME));
    CHECK_EQ(reg.SaveKey(file.c_str()), 1);
    // The file is a registry hive: Windows writes the binary "regf" form, Wine its own text form
    // ("WINE REGISTRY Version 2") holding the saved values.
    std::string saved;
    HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    CHECK(h != INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) {
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got) saved.append(chunk, got);
        CloseHandle(h);
    }
    bool binaryHive = saved.compare(0, 4, "regf") == 0;
    bool wineHive = saved.compare(0, 13, "WINE REGISTRY") == 0;
    CHECK(binaryHive || wineHive);
    if (wineHive) {
        CHECK(saved.find("\"kept\"=dword:0000000b") != std::string::npos);
        CHECK(saved.find("\"text\"=\"saved\"") != std::string::npos);
    }
    // Windows refuses to save over an existing file; Wine overwrites it.
    int again = reg.SaveKey(file.c_str());
    if (wineHive)
        std::printf("  note: saving over an existing file answered %d here\n", again);
    else
        CHECK_EQ(again, 0);

    CHECK_EQ(reg.Write("kept", 99), 1);
    CHECK_EQ(reg.DeleteValue("text"), 1);
    CHECK_EQ(reg.Write("added", 1), 1);
    int restored = reg.RestoreKey(file.c_str());
    int kept = 0;
    RegString text("none");
    reg.Read("kept", &kept);
    reg.Read("text", &text);
    std::printf("  RestoreKey returned %d; afterwards kept=%d text=%s added %s\n", restored, kept, text.c_str(),
                ValueExists(k, "added") ? "present" : "gone");
    CHECK_EQ(restored, 1);
    if (RunningOnWine() && kept == 99) {
        // Wine's RegRestoreKey is a stub: it answers success and loads nothing, so only the call
        // itself can be checked here.
        std::printf("  note: this Wine does not restore hives; restored contents not checked\n");
    } else {
        CHECK_EQ(kept, 11);
        CHECK(text == "saved");
        CHECK(!ValueExists(k, "added"));
        CHECK_EQ(reg.RestoreKey((file + ".missing").c_str()), 0);
    }
    DeleteFileA(file.c_str());
    RegCloseKey(k);
}

struct Case {
    const char* name;
    void (*run)();
};

}  // namespace

int main() {
    setvbuf(stdout, nullptr, _IONBF, 0);
    LoaderRepair repair = FinishLoadingExecutable();
    std::printf("Sonadesk.exe mapped at %p (preferred %p); relocations %s (%d), imports %s (%d)%s\n",
                (void*)GetModuleHandleA("Sonadesk.exe"),
                GetModuleHandleA("Sonadesk.exe")
                    ? (void*)(ULONG_PTR)NtHeaders(GetModuleHandleA("Sonadesk.exe"))->OptionalHeader.ImageBase
                    : nullptr,
                repair.relocated ? "applied here" : "done by the loader", repair.relocations,
                repair.importsBound ? "bound here" : "bound by the loader", repair.imports,
                repair.failed ? "; REPAIR FAILED" : "");
    const Case cases[] = {
        {"Registry.ExportsComeFromTheExecutable", ExportsComeFromTheExecutable},
        {"Registry.ConstructorHoldsRootAndOpensNothing", ConstructorHoldsRootAndOpensNothing},
        {"Registry.WriteTextStoresSzWithNul", WriteTextStoresSzWithNul},
        {"Registry.NumbersRoundTripAsDword", NumbersRoundTripAsDword},
        {"Registry.LongTextFailsAndLeavesDestination", LongTextFailsAndLeavesDestination},
        {"Registry.MissingValueLeavesDestination", MissingValueLeavesDestination},
        {"Registry.CreateKeyMakesVolatileKeysAndOpensExistingOnes", CreateKeyMakesVolatileKeysAndOpensExistingOnes},
        {"Registry.OpenIsRelativeToTheCurrentKey", OpenIsRelativeToTheCurrentKey},
        {"Registry.CallersRootIsNeverClosedByReplacement", CallersRootIsNeverClosedByReplacement},
        {"Registry.DeleteKeyRemovesAValueOfTheKeyPassedIn", DeleteKeyRemovesAValueOfTheKeyPassedIn},
        {"Registry.DeleteValueWorksOnTheCurrentKey", DeleteValueWorksOnTheCurrentKey},
        {"Registry.CloseReleasesTheKey", CloseReleasesTheKey},
        {"Registry.SaveAndRestoreRoundTrip", SaveAndRestoreRoundTrip},
    };
    const int total = sizeof cases / sizeof cases[0];
    std::printf("[==========] Running %d tests from 1 test suite.\n", total);
    for (const Case& c : cases) {
        std::printf("[ RUN      ] %s\n", c.name);
        currentFailed = false;
        c.run();
        if (currentFailed) {
            ++failures;
            failedNames.push_back(c.name);
            std::printf("[  FAILED  ] %s\n", c.name);
        } else {
            std::printf("[       OK ] %s\n", c.name);
        }
    }
    DeleteTree(HKEY_CURRENT_USER, kBase);
    std::printf("[==========] %d tests from 1 test suite ran.\n", total);
    std::printf("[  PASSED  ] %d tests.\n", total - failures);
    if (failures) {
        std::printf("[  FAILED  ] %d tests, listed below:\n", failures);
        for (auto& n : failedNames) std::printf("[  FAILED  ] %s\n", n.c_str());
    }
    return failures ? 1 : 0;
}
