// A move-only owner of one COM interface reference.
#pragma once
#include <objbase.h>
#include <ole2.h>

#include <utility>

namespace sona {

// COM (or OLE, which starts COM too) on this thread for as long as the object lives: the
// owner makes one when it wants it running, and its end balances the start.
class ComSession {
public:
    enum Kind { kCom, kOle };
    explicit ComSession(Kind kind = kCom) : kind(kind) {
        started = SUCCEEDED(kind == kOle ? OleInitialize(nullptr) : CoInitialize(nullptr));
    }
    ~ComSession() {
        if (!started) return;
        if (kind == kOle)
            OleUninitialize();
        else
            CoUninitialize();
    }
    ComSession(const ComSession&) = delete;
    ComSession& operator=(const ComSession&) = delete;
    bool Started() const { return started; }

private:
    Kind kind;
    bool started = false;
};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Release(); }
    ComPtr(ComPtr&& o) noexcept : p(std::exchange(o.p, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            Release();
            p = std::exchange(o.p, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    void Release() {
        if (p) std::exchange(p, nullptr)->Release();
    }
    T* get() const { return p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
    // For out-parameters: releases what is held first.
    T** put() {
        Release();
        return &p;
    }
    void** put_void() { return (void**)put(); }

private:
    T* p = nullptr;
};

}  // namespace sona
