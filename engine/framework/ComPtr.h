#pragma once
#include <objbase.h>
#include <unknwn.h>

// Holds one reference to a COM object.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            m_object = other.m_object;
            other.m_object = nullptr;
        }
        return *this;
    }

    void Reset() {
        if (m_object != nullptr) m_object->Release();
        m_object = nullptr;
    }
    // For functions that hand out a new reference.
    T** Receive() {
        Reset();
        return &m_object;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};

// Holds what the COM allocator handed out (a path, a list) until it is freed.
template <class T>
class CoTaskMemory {
public:
    CoTaskMemory() = default;
    ~CoTaskMemory() { ::CoTaskMemFree(m_memory); }
    CoTaskMemory(const CoTaskMemory&) = delete;
    CoTaskMemory& operator=(const CoTaskMemory&) = delete;

    T** Receive() {
        ::CoTaskMemFree(m_memory);
        m_memory = nullptr;
        return &m_memory;
    }
    T* Get() const { return m_memory; }

private:
    T* m_memory = nullptr;
};
