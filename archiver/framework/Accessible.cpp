#include "Accessible.h"

#include <oleacc.h>

#include <memory>

namespace {
// Defined here: MinGW's import library holds a stub of IID_IAccessible that the
// platform refuses, and lacks the annotation service's identifiers.
const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
const CLSID kAccPropServicesClass = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
const IID kIidAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
const IID kIidAccPropServer = {0x76c0dbbb, 0x15e0, 0x4e7b, {0xb6, 0x1b, 0x20, 0xee, 0xea, 0x20, 0x01, 0xe0}};
const GUID kNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
const GUID kLiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED, Windows 8 on

// The reference count both small objects below share.
class TCounted {
public:
    virtual ~TCounted() = default;

protected:
    ULONG Take() { return static_cast<ULONG>(::InterlockedIncrement(&m_references)); }
    ULONG Drop() {
        const LONG left = ::InterlockedDecrement(&m_references);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    LONG m_references = 1;
};

// Answers the service with the name as it is when a client asks.
class TNameServer : public IAccPropServer, private TCounted {
public:
    explicit TNameServer(std::function<std::wstring()> name) : m_name(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = iid == IID_IUnknown || iid == kIidAccPropServer ? static_cast<IAccPropServer*>(this) : nullptr;
        if (*out == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Take(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }
    HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT* value, BOOL* has) override {
        if (value == nullptr || has == nullptr) return E_POINTER;
        ::VariantInit(value);
        value->vt = VT_BSTR;
        value->bstrVal = ::SysAllocString(m_name().c_str());
        *has = value->bstrVal != nullptr;
        return S_OK;
    }

private:
    std::function<std::wstring()> m_name;
};

class TPlatformAnnotations : public TAnnotationSink {
public:
    TPlatformAnnotations() {
        // Without COM on the thread, or without the service, everything is refused.
        ::CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                           reinterpret_cast<void**>(&m_service));
    }
    ~TPlatformAnnotations() override {
        if (m_service != nullptr) m_service->Release();
    }
    HRESULT SetName(HWND hwnd, std::function<std::wstring()> name) override {
        if (m_service == nullptr) return E_NOTIMPL;
        // The window's object too: a window without caption text is read by it.
        auto* server = new TNameServer(std::move(name));
        HRESULT result = S_OK;
        for (LONG object : {OBJID_WINDOW, OBJID_CLIENT})
            if (SUCCEEDED(result))
                result = m_service->SetHwndPropServer(hwnd, static_cast<DWORD>(object), CHILDID_SELF, &kNameProperty,
                                                      1, server, ANNO_THIS);
        server->Release();
        return result;
    }
    HRESULT SetLiveSetting(HWND hwnd, long setting) override {
        if (m_service == nullptr) return E_NOTIMPL;
        VARIANT value;
        ::VariantInit(&value);
        value.vt = VT_I4;
        value.lVal = setting;
        return m_service->SetHwndProp(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSettingProperty, value);
    }
    void Clear(HWND hwnd) override {
        const MSAAPROPID properties[] = {kNameProperty, kLiveSettingProperty};
        if (m_service == nullptr) return;
        m_service->ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_WINDOW), CHILDID_SELF, properties, 1);
        m_service->ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties, 2);
    }

private:
    IAccPropServices* m_service = nullptr;
};

TAnnotationSink* g_testSink = nullptr;

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The system's object of the window with the name laid over it; everything else,
// the children included, as the system has it.
class TNamedAccessible : public IAccessible, private TCounted {
public:
    TNamedAccessible(IAccessible* system, std::function<std::wstring()> name)
        : m_system(system), m_name(std::move(name)) {}
    ~TNamedAccessible() override { m_system->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible ? static_cast<IAccessible*>(this)
                                                                                      : nullptr;
        // The window behind it (IOleWindow, WindowFromAccessibleObject) is the system object's to tell.
        if (*out == nullptr) return iid == IID_IOleWindow ? m_system->QueryInterface(iid, out) : E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Take(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return m_system->get_accName(child, name);
        if (name == nullptr) return E_POINTER;
        *name = ::SysAllocString(m_name().c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_system->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_system->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
        return m_system->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* error) override {
        return m_system->Invoke(id, iid, locale, flags, parameters, result, exception, error);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_system->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return m_system->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return m_system->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_system->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return m_system->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return m_system->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_system->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return m_system->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return m_system->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return m_system->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return m_system->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return m_system->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return m_system->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return m_system->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return m_system->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return m_system->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return m_system->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return m_system->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    IAccessible* m_system;
    std::function<std::wstring()> m_name;
};
}  // namespace

void SetAnnotationSink(TAnnotationSink* sink) { g_testSink = sink; }

TAnnotationSink& Annotations() {
    if (g_testSink != nullptr) return *g_testSink;
    // The service belongs to the thread of the windows it annotates: the window's.
    thread_local std::unique_ptr<TPlatformAnnotations> platform = std::make_unique<TPlatformAnnotations>();
    return *platform;
}

void AnnounceLiveRegion(HWND hwnd) { ::NotifyWinEvent(kLiveRegionChanged, hwnd, OBJID_CLIENT, CHILDID_SELF); }

bool AnswerGetObject(HWND hwnd, const TAccessibleFacts& facts, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const auto object = static_cast<LONG>(lParam);
    if ((object != OBJID_CLIENT && object != OBJID_WINDOW) || !facts.Name) return false;
    IAccessible* system = nullptr;
    if (FAILED(::CreateStdAccessibleObject(hwnd, object, kIidAccessible, reinterpret_cast<void**>(&system))) ||
        system == nullptr)
        return false;
    auto* named = new TNamedAccessible(system, facts.Name);
    // The client holds a reference of its own once the answer is made.
    result = ::LresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(named));
    named->Release();
    return result > 0;
}
