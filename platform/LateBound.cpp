#include "platform/LateBound.h"

namespace sona {

FARPROC LateBoundProc(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    if (!module) module = LoadLibraryA(dll);  // kept loaded for the life of the process
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace sona
