// One owner for a handle of any kind: its traits say which value means "none",
// which values are real, and how a real one is given back. The handle is
// given back on every way out of its scope, early returns included.
#pragma once

#include "platform/win32/win32.h"

namespace qn {

template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    bool valid() const { return Traits::valid(handle_); }
    explicit operator bool() const { return valid(); }
    Handle get() const { return handle_; }
    // Gives up ownership: the caller closes it now.
    Handle release() {
        const Handle handle = handle_;
        handle_ = Traits::none();
        return handle;
    }
    // Closes the handle held, if real, and holds `handle` instead.
    void reset(Handle handle = Traits::none()) {
        if (Traits::valid(handle_)) Traits::close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::none();
};

// Files, processes, threads, mutexes: CreateFile fails with
// INVALID_HANDLE_VALUE, most of the others with null.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};

// A directory search from FindFirstFile, which fails with INVALID_HANDLE_VALUE.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return INVALID_HANDLE_VALUE; }
    static bool valid(Handle h) { return h != INVALID_HANDLE_VALUE; }
    static void close(Handle h) { FindClose(h); }
};

using UniqueHandle = ScopedHandle<KernelHandleTraits>;
using FindHandle = ScopedHandle<FindHandleTraits>;

}  // namespace qn
