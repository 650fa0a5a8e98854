#pragma once
#include <windows.h>

#include <utility>

// Owns one platform handle and closes it when it goes. Traits name the empty
// value and the closing function.
template <class Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : m_handle(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, Traits::Empty())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.m_handle, Traits::Empty()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Type Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Empty(); }
    void Reset(Type handle = Traits::Empty()) {
        if (m_handle != Traits::Empty()) Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Type m_handle = Traits::Empty();
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { ::FindClose(handle); }
};

struct ModuleHandleTraits {
    using Type = HMODULE;
    static Type Empty() { return nullptr; }
    static void Close(Type handle) { ::FreeLibrary(handle); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using LibraryModule = UniqueHandle<ModuleHandleTraits>;
