// A wrapper around one open registry key, exported by Sonadesk.exe for other modules. Every
// member answers 1 for success and 0 for failure; registry error codes are not kept.
#pragma once
#include <windows.h>

#include "store/RegString.h"

// The executable exports the class; everyone who includes this header imports it.
#ifdef SONADESK_REGISTRY_EXPORTS
#define SONA_REGISTRY_API __declspec(dllexport)
#else
#define SONA_REGISTRY_API __declspec(dllimport)
#endif

class SONA_REGISTRY_API CMstRegistry {
public:
    // Holds `root` until a sub-key is opened or created; opens nothing.
    CMstRegistry(HKEY root = HKEY_LOCAL_MACHINE);
    // Closes the current key.
    virtual ~CMstRegistry();

    // Creates (volatile) or opens `path` under the current key; on success it becomes current.
    int CreateKey(const char* path);
    // Opens `path` under the current key; on success it becomes current.
    int Open(const char* path);
    // Closes the current key, if any; value operations fail afterwards.
    void Close();

    int DeleteValue(const char* name);
    // Removes the value `name` of `key` (not a sub-key, and not under the current key).
    int DeleteKey(HKEY key, const char* name);

    int Write(const char* name, int value);
    int Write(const char* name, unsigned long value);
    int Write(const char* name, const char* text);

    // On failure the destination is left as it was.
    int Read(const char* name, int* value);
    int Read(const char* name, unsigned long* value);
    // Values of more than 200 bytes fail.
    int Read(const char* name, RegString* text);

    int RestoreKey(const char* file);
    int SaveKey(const char* file);

    HKEY Key() const { return key; }

private:
    // Closes the current key on replacement unless it is the caller's root or a predefined key.
    void Replace(HKEY next);

    HKEY key;
    HKEY root;
};
