// Compiled into Sonadesk.exe and called by modules that import it. A module importing from an
// executable gets it mapped without its runtime start-up, so nothing here may depend on static
// constructors, iostreams or locale: only ADVAPI32 and the process heap.
#define SONADESK_REGISTRY_EXPORTS
#include "store/CMstRegistry.h"

namespace {

const DWORD kStringBufferSize = 200;

// The system's predefined roots (HKEY_CLASSES_ROOT and up) are never ours to close.
bool IsPredefinedKey(HKEY k) { return (ULONG_PTR)k >= 0x80000000UL && (ULONG_PTR)k <= 0x800000FFUL; }

}  // namespace

// Just remembers the root; the first Open or CreateKey works under it.
CMstRegistry::CMstRegistry(HKEY root) : key(root), root(root) {}

// Whatever key is current goes with the object.
CMstRegistry::~CMstRegistry() { Close(); }

// The key a successful Open or CreateKey replaces is ours to close, except the caller's root.
void CMstRegistry::Replace(HKEY next) {
    HKEY old = key;
    key = next;
    if (old && old != next && old != root && !IsPredefinedKey(old)) RegCloseKey(old);
}

// Volatile on purpose: keys made here vanish when the system restarts.
int CMstRegistry::CreateKey(const char* path) {
    HKEY created = nullptr;
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExA(key, path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &created,
                              &disposition);
    if (rc != ERROR_SUCCESS) return 0;
    Replace(created);
    return 1;
}

// Relative to the current key, so Open calls can walk down a path step by step.
int CMstRegistry::Open(const char* path) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(key, path, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return 0;
    Replace(opened);
    return 1;
}

// Closing a predefined root is harmless to the system, so any current key is closed.
void CMstRegistry::Close() {
    if (key) {
        RegCloseKey(key);
        key = nullptr;
    }
}

// Removes a value of the current key.
int CMstRegistry::DeleteValue(const char* name) {
    return RegDeleteValueA(key, name) == ERROR_SUCCESS ? 1 : 0;
}

// Works on the caller's key and removes a value there; the object's own key is not involved.
int CMstRegistry::DeleteKey(HKEY k, const char* name) {
    return RegDeleteValueA(k, name) == ERROR_SUCCESS ? 1 : 0;
}

// Both number overloads store the same 4 bytes as a REG_DWORD.
int CMstRegistry::Write(const char* name, int value) { return Write(name, (unsigned long)value); }

// The 4 bytes of the value, as a REG_DWORD.
int CMstRegistry::Write(const char* name, unsigned long value) {
    DWORD v = (DWORD)value;
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&v, sizeof v) == ERROR_SUCCESS ? 1 : 0;
}

// The text with its terminating NUL, as a REG_SZ.
int CMstRegistry::Write(const char* name, const char* text) {
    if (!text) text = "";
    DWORD bytes = (DWORD)lstrlenA(text) + 1;
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, bytes) == ERROR_SUCCESS ? 1 : 0;
}

// One routine for both number overloads: 4 bytes, type not examined.
int CMstRegistry::Read(const char* name, int* value) { return Read(name, (unsigned long*)value); }

// Reads exactly 4 bytes; anything longer fails and the destination keeps its value.
int CMstRegistry::Read(const char* name, unsigned long* value) {
    DWORD v = 0, size = sizeof v;
    if (RegQueryValueExA(key, name, nullptr, nullptr, (BYTE*)&v, &size) != ERROR_SUCCESS) return 0;
    if (value) *value = v;
    return 1;
}

// A 200-byte buffer: longer values fail (ERROR_MORE_DATA) and leave the string as it was.
int CMstRegistry::Read(const char* name, RegString* text) {
    // One spare byte so a value that fills the buffer without a NUL still ends.
    char buffer[kStringBufferSize + 1];
    ZeroMemory(buffer, sizeof buffer);
    DWORD size = kStringBufferSize;
    if (RegQueryValueExA(key, name, nullptr, nullptr, (BYTE*)buffer, &size) != ERROR_SUCCESS) return 0;
    if (text) text->Assign(buffer);
    return 1;
}

// Loads a saved hive over the current key, volatile.
int CMstRegistry::RestoreKey(const char* file) {
    return RegRestoreKeyA(key, file, REG_WHOLE_HIVE_VOLATILE) == ERROR_SUCCESS ? 1 : 0;
}

// Saves the current key and its sub-keys to a hive file.
int CMstRegistry::SaveKey(const char* file) {
    return RegSaveKeyA(key, file, nullptr) == ERROR_SUCCESS ? 1 : 0;
}
