// The 32-bit exe's binding of GDI+, COM and the common controls on first use. The build writes,
// for each of those DLLs, a table of its functions whose slots first hold stubs
// (cmake/delayload.cmake); a stub's first call lands here. Built into the 32-bit exe only.
#include <windows.h>

#include "platform/LateBound.h"

namespace {

// Laid out by the generated tables: keep the order of the fields.
struct LazyDll {
    const char* dll;
    HMODULE module;
    const char* const* names;
    void** slots;
};

}  // namespace

// Binds function `index` of `lazy`: its slot holds the function from then on. Picture workers use
// GDI+ on threads of their own, so two threads may bind the same function at once; both find the
// same address, and the DLL's second load only counts up its reference.
extern "C" void* __cdecl SonaLazyBind(LazyDll* lazy, unsigned index) {
    HMODULE module = lazy->module;
    if (!module) {
        module = sona::LoadSystemLibrary(lazy->dll);
        if (module) InterlockedExchangePointer(reinterpret_cast<void**>(&lazy->module), module);
    }
    void* proc = module ? reinterpret_cast<void*>(GetProcAddress(module, lazy->names[index])) : nullptr;
    if (!proc) {
        // As the system's own delay-load helper does: a missing DLL or function is an error that
        // cannot be called through; it ends in the unhandled-exception path with this code.
        const ULONG_PTR info[] = {reinterpret_cast<ULONG_PTR>(lazy->dll),
                                  reinterpret_cast<ULONG_PTR>(lazy->names[index])};
        RaiseException(module ? 0xC06D007F : 0xC06D007E, EXCEPTION_NONCONTINUABLE, 2, info);
    }
    InterlockedExchangePointer(&lazy->slots[index], proc);
    return proc;
}
