#include "Accessible.h"

#include <ole2.h>

#include "ComPtr.h"
#include "Wnd.h"

const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

namespace {
// The annotation service and the properties it takes (oleacc.h, UIAutomationClient.h),
// defined here: MinGW's libraries lack some of them.
constexpr CLSID kAccPropServicesClass = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIidAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr IID kIidAccPropServer = {0x76c0dbbb, 0x15e0, 0x4e7b, {0xb6, 0x1b, 0x20, 0xee, 0xea, 0x20, 0x01, 0xe0}};
constexpr GUID kName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kDescription = {0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
constexpr GUID kRole = {0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};
constexpr GUID kLiveSetting = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr GUID kIsControlElement = {0x95f35085, 0xabcc, 0x4afd, {0xa5, 0xf4, 0xdb, 0xb4, 0x6c, 0x23, 0x0f, 0xdb}};
constexpr GUID kIsContentElement = {0x4bda64a8, 0xf5d8, 0x480b, {0x81, 0x55, 0xef, 0x2e, 0x89, 0xad, 0xb6, 0x72}};
constexpr long kPolite = 1;  // LiveSetting's Polite
// EVENT_OBJECT_LIVEREGIONCHANGED, from Windows 8 on; earlier systems pass it on unread.
constexpr DWORD kLiveRegionChanged = 0x8019;
constexpr GUID kEveryProperty[] = {kName, kDescription, kRole, kLiveSetting, kIsControlElement, kIsContentElement};

std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                          wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

// A label's text as read: "&" marks the next letter as its mnemonic, "&&" is an "&".
std::wstring WithoutMnemonics(const std::wstring& text) {
    std::wstring plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        plain.push_back(text[i]);
    }
    return plain;
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Shared reference counting of the two small objects below.
class RefCounted {
protected:
    ULONG AddReference() { return static_cast<ULONG>(::InterlockedIncrement(&m_references)); }
    template <class Self>
    static ULONG DropReference(Self* self) {
        const LONG left = ::InterlockedDecrement(&self->m_references);
        if (left == 0) delete self;
        return static_cast<ULONG>(left);
    }

private:
    LONG m_references = 1;
};

// Answers the annotation service with a text made when a client asks.
class TextServer : public IAccPropServer, private RefCounted {
public:
    explicit TextServer(std::function<std::wstring()> text) : m_text(std::move(text)) {}
    virtual ~TextServer() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = iid == IID_IUnknown || iid == kIidAccPropServer ? static_cast<IAccPropServer*>(this) : nullptr;
        if (*out == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return DropReference(this); }
    HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT* value, BOOL* has) override {
        if (value == nullptr || has == nullptr) return E_POINTER;
        ::VariantInit(value);
        value->vt = VT_BSTR;
        value->bstrVal = ::SysAllocString(m_text().c_str());
        *has = value->bstrVal != nullptr;
        return S_OK;
    }

private:
    friend class RefCounted;
    std::function<std::wstring()> m_text;
};

// The platform's annotation service.
class PlatformSink : public AnnotationSink {
public:
    PlatformSink() {
        // Without COM on the thread, or without the service, every annotation is refused.
        ::CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                           m_service.ReceiveVoid());
    }
    HRESULT SetText(HWND hwnd, LONG objectId, const GUID& property, const wchar_t* text) override {
        if (!m_service) return E_NOTIMPL;
        return m_service->SetHwndPropStr(hwnd, static_cast<DWORD>(objectId), CHILDID_SELF, property, text);
    }
    HRESULT SetValue(HWND hwnd, LONG objectId, const GUID& property, const VARIANT& value) override {
        if (!m_service) return E_NOTIMPL;
        return m_service->SetHwndProp(hwnd, static_cast<DWORD>(objectId), CHILDID_SELF, property, value);
    }
    HRESULT SetTextSource(HWND hwnd, LONG objectId, const GUID& property, std::function<std::wstring()> text) override {
        if (!m_service) return E_NOTIMPL;
        auto* server = new TextServer(std::move(text));
        const HRESULT result = m_service->SetHwndPropServer(hwnd, static_cast<DWORD>(objectId), CHILDID_SELF,
                                                            &property, 1, server, ANNO_THIS);
        server->Release();
        return result;
    }
    HRESULT Clear(HWND hwnd, LONG objectId, const GUID* properties, int count) override {
        if (!m_service) return E_NOTIMPL;
        return m_service->ClearHwndProps(hwnd, static_cast<DWORD>(objectId), CHILDID_SELF, properties, count);
    }

private:
    ComPtr<IAccPropServices> m_service;
};

AnnotationSink* g_testSink = nullptr;

VARIANT Number(long value) {
    VARIANT variant;
    ::VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}

VARIANT False() {
    VARIANT variant;
    ::VariantInit(&variant);
    variant.vt = VT_BOOL;
    variant.boolVal = VARIANT_FALSE;
    return variant;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The system's accessible object of a window, with the facts laid over it for
// the window itself; its children are the system's.
class AccessibleProxy : public IAccessible, public IOleWindow, private RefCounted {
public:
    AccessibleProxy(HWND hwnd, ComPtr<IAccessible> system, AccessibleFacts facts)
        : m_hwnd(hwnd), m_system(std::move(system)), m_facts(std::move(facts)) {}
    virtual ~AccessibleProxy() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible)
            *out = static_cast<IAccessible*>(this);
        else if (iid == IID_IOleWindow)
            *out = static_cast<IOleWindow*>(this);
        if (*out == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return DropReference(this); }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override {
        if (hwnd == nullptr) return E_POINTER;
        *hwnd = m_hwnd;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch: the system's object answers.
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

    // What the facts say of the window itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || (!m_facts.named && !m_facts.decorative)) return m_system->get_accName(child, name);
        if (name == nullptr) return E_POINTER;
        *name = m_facts.decorative ? nullptr : ::SysAllocString(m_facts.NameNow().c_str());
        return *name != nullptr ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || m_facts.role == 0) return m_system->get_accRole(child, role);
        if (role == nullptr) return E_POINTER;
        *role = Number(m_facts.role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (!IsSelf(child) || m_facts.description.empty()) return m_system->get_accDescription(child, text);
        if (text == nullptr) return E_POINTER;
        *text = ::SysAllocString(Widen(m_facts.description).c_str());
        return S_OK;
    }

    // The rest as the system has it.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_system->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return m_system->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return m_system->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_system->get_accValue(child, value);
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
    friend class RefCounted;
    HWND m_hwnd;
    ComPtr<IAccessible> m_system;
    AccessibleFacts m_facts;
};
}  // namespace

std::wstring AccessibleFacts::NameNow() const {
    return nameSource != nullptr ? WithoutMnemonics(WindowText(nameSource)) : Widen(name);
}

void SetAnnotationSink(AnnotationSink* sink) { g_testSink = sink; }

AnnotationSink& Annotation::Sink() {
    if (g_testSink != nullptr) return *g_testSink;
    // One service for the thread whose windows it annotates: the interface thread.
    thread_local PlatformSink platform;
    return platform;
}

void Annotation::Record(AccessibleFacts& facts, HRESULT result) {
    (SUCCEEDED(result) ? facts.annotated : facts.served) = true;
}

void Annotation::Name(CWnd& window, const std::string& name) {
    AccessibleFacts& facts = window.Accessible();
    facts.named = true;
    facts.name = name;
    facts.nameSource = nullptr;
    Record(facts, Sink().SetText(window.m_hWnd, OBJID_CLIENT, kName, Widen(name).c_str()));
}

void Annotation::NameFrom(CWnd& window, HWND source) {
    AccessibleFacts& facts = window.Accessible();
    facts.named = true;
    facts.nameSource = source;
    Record(facts, Sink().SetTextSource(window.m_hWnd, OBJID_CLIENT, kName,
                                       [source] { return WithoutMnemonics(WindowText(source)); }));
}

void Annotation::Role(CWnd& window, long role) {
    AccessibleFacts& facts = window.Accessible();
    facts.role = role;
    Record(facts, Sink().SetValue(window.m_hWnd, OBJID_CLIENT, kRole, Number(role)));
}

void Annotation::Description(CWnd& window, const std::string& text) {
    AccessibleFacts& facts = window.Accessible();
    facts.description = text;
    Record(facts, Sink().SetText(window.m_hWnd, OBJID_CLIENT, kDescription, Widen(text).c_str()));
}

void Annotation::Decorative(CWnd& window) {
    AccessibleFacts& facts = window.Accessible();
    facts.decorative = true;
    Role(window, ROLE_SYSTEM_GRAPHIC);
    AnnotationSink& sink = Sink();
    Record(facts, sink.SetText(window.m_hWnd, OBJID_CLIENT, kName, L""));
    for (const GUID& property : {kIsControlElement, kIsContentElement})
        Record(facts, sink.SetValue(window.m_hWnd, OBJID_CLIENT, property, False()));
}

void Annotation::LiveRegion(CWnd& window) {
    AccessibleFacts& facts = window.Accessible();
    facts.liveRegion = true;
    Record(facts, Sink().SetValue(window.m_hWnd, OBJID_CLIENT, kLiveSetting, Number(kPolite)));
}

void Annotation::Clear(HWND hwnd) {
    Sink().Clear(hwnd, OBJID_CLIENT, kEveryProperty, static_cast<int>(std::size(kEveryProperty)));
}

void NotifyLiveRegionChanged(HWND hwnd) {
    ::NotifyWinEvent(kLiveRegionChanged, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

bool AnswerGetObject(HWND hwnd, const AccessibleFacts& facts, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
    ComPtr<IAccessible> system;
    if (FAILED(::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, kIidAccessible, system.ReceiveVoid())) || !system)
        return false;
    auto* proxy = new AccessibleProxy(hwnd, std::move(system), facts);
    // The client holds its own reference once the answer is made.
    *result = ::LresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(proxy));
    proxy->Release();
    return *result > 0;
}
