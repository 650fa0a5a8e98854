#pragma once
#include <windows.h>
#include <unknwn.h>

#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

// A COM object of the component, offering the interfaces listed as template
// arguments. The counting is the one every object shares; QueryInterface answers
// IUnknown, each listed interface and the interfaces it extends (IInStream also as
// ISequentialInStream, through the same table), and nothing else. The library may
// call from its own threads, so the count is interlocked.
//
// A new object has no reference yet: the first ComPtr (or the out-pointer of the
// call that hands it out) takes it.
template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown)
            *out = static_cast<IUnknown*>(static_cast<First*>(this));
        else
            (Offer<Interfaces>(iid, out) || ...);
        if (*out == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = ::InterlockedDecrement(&m_references);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

    template <class Interface>
    bool Offer(REFIID iid, void** out) {
        if (!Answers<Interface>(iid)) return false;
        *out = static_cast<Interface*>(this);
        return true;
    }
    template <class Interface>
    static bool Answers(REFIID iid) {
        if constexpr (std::is_same_v<Interface, IUnknown>)
            return false;
        else
            return iid == Interface::Iid || Answers<typename Interface::Extends>(iid);
    }

    volatile LONG m_references = 0;
};

// Holds one reference to a COM object.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* object) : m_object(object) {
        if (m_object != nullptr) m_object->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.m_object) {}
    ComPtr(ComPtr&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    void Reset() {
        if (m_object != nullptr) m_object->Release();
        m_object = nullptr;
    }
    // For an out-parameter that arrives with its reference already taken.
    T** Receive() {
        Reset();
        return &m_object;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    // Hands the reference to an out-parameter of the library.
    template <class Interface>
    void CopyTo(Interface** out) const {
        *out = m_object;
        if (m_object != nullptr) m_object->AddRef();
    }

private:
    T* m_object = nullptr;
};

// Runs the body of a method the library calls: an exception (from an event
// handler, or memory running out) must not cross into the library's frames.
template <class Body>
HRESULT GuardedCall(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}
