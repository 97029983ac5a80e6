// The small string that registry reads fill in. It lives on the process heap rather than the C++
// runtime's, so a module that imports the registry class from the executable can own strings the
// executable filled, whatever runtime either side was linked with.
#pragma once
#include <windows.h>

class RegString {
public:
    RegString() = default;
    RegString(const char* s) { Assign(s); }
    RegString(const RegString& o) { Assign(o.c_str()); }
    RegString& operator=(const RegString& o) {
        if (this != &o) Assign(o.c_str());
        return *this;
    }
    RegString& operator=(const char* s) {
        Assign(s);
        return *this;
    }
    ~RegString() { Free(); }

    // Copies `s` up to its NUL; a null pointer makes the string empty. Keeps the old text when
    // the heap refuses.
    bool Assign(const char* s) { return Assign(s, s ? lstrlenA(s) : 0); }
    bool Assign(const char* s, int n) {
        if (!s || n <= 0) {
            Free();
            return true;
        }
        char* p = (char*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)n + 1);
        if (!p) return false;
        CopyMemory(p, s, (SIZE_T)n);
        p[n] = 0;
        Free();
        text = p;
        len = n;
        return true;
    }

    const char* c_str() const { return text ? text : ""; }
    operator const char*() const { return c_str(); }
    int length() const { return len; }
    bool empty() const { return len == 0; }
    bool operator==(const char* s) const { return lstrcmpA(c_str(), s ? s : "") == 0; }
    bool operator!=(const char* s) const { return !(*this == s); }

private:
    void Free() {
        if (text) HeapFree(GetProcessHeap(), 0, text);
        text = nullptr;
        len = 0;
    }

    char* text = nullptr;
    int len = 0;
};
