#include "AssistiveView.h"

#include <oleacc.h>

#include <map>

namespace AssistiveView {
namespace {
// MinGW's import library holds a stub of IID_IAccessible that the platform refuses.
const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// COM for the calls of one function, as any client of another thread would have it.
class ComScope {
public:
    ComScope() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }

private:
    HRESULT m_result;
};

std::wstring Take(BSTR text) {
    std::wstring taken = text != nullptr ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    ::SysFreeString(text);
    return taken;
}

Node ReadObject(IAccessible* object, HWND hwnd) {
    Node node;
    node.hwnd = hwnd;
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    node.hasName = object->get_accName(self, &text) == S_OK && text != nullptr;
    node.name = Take(text);
    text = nullptr;
    if (object->get_accDescription(self, &text) == S_OK) node.description = Take(text);
    VARIANT value;
    ::VariantInit(&value);
    if (SUCCEEDED(object->get_accRole(self, &value)) && value.vt == VT_I4) node.role = value.lVal;
    ::VariantClear(&value);
    if (SUCCEEDED(object->get_accState(self, &value)) && value.vt == VT_I4) node.state = value.lVal;
    ::VariantClear(&value);
    return node;
}

Node ReadWindow(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&object))) ||
        object == nullptr)
        return Node{window};
    Node node = ReadObject(object, window);
    object->Release();
    return node;
}

std::map<HWND, int>& Counts() {
    static std::map<HWND, int> counts;
    return counts;
}

bool Pump(DWORD until) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    if (static_cast<LONG>(::GetTickCount() - until) >= 0) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    return true;
}
}  // namespace

Node Read(HWND window) {
    ComScope com;
    return ReadWindow(window);
}

std::vector<Node> ReadChildren(HWND window) {
    ComScope com;
    std::vector<Node> nodes;
    IAccessible* client = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&client))) ||
        client == nullptr)
        return nodes;
    long count = 0;
    client->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long got = 0;
    if (count > 0 && SUCCEEDED(::AccessibleChildren(client, 0, count, children.data(), &got))) {
        for (long i = 0; i < got; ++i) {
            VARIANT& child = children[static_cast<size_t>(i)];
            HWND hwnd = nullptr;
            if (child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
                IAccessible* object = nullptr;
                if (SUCCEEDED(child.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&object)))) {
                    ::WindowFromAccessibleObject(object, &hwnd);
                    object->Release();
                }
            }
            if (hwnd != nullptr && hwnd != window) nodes.push_back(ReadWindow(hwnd));
            ::VariantClear(&child);
        }
    }
    client->Release();
    return nodes;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{sizeof info};
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

HWND PressKey(HWND window, WORD key, bool shift, HWND expected, DWORD timeoutMs) {
    HWND top = ::GetAncestor(window, GA_ROOT);
    const DWORD until = ::GetTickCount() + timeoutMs;
    ::SetForegroundWindow(top);
    while (::GetForegroundWindow() != top && Pump(until)) ::SetForegroundWindow(top);
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        inputs.push_back(input);
    };
    if (shift) add(VK_SHIFT, false);
    add(key, false);
    add(key, true);
    if (shift) add(VK_SHIFT, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    HWND focus = FocusOf(window);
    while (expected != nullptr && (focus = FocusOf(window)) != expected && Pump(until)) {
    }
    return focus;
}

EventCounter::EventCounter(DWORD processId, DWORD event)
    : m_hook(::SetWinEventHook(event, event, nullptr, Receive, processId, 0, WINEVENT_OUTOFCONTEXT)) {
    Counts().clear();
}

EventCounter::~EventCounter() {
    if (m_hook != nullptr) ::UnhookWinEvent(m_hook);
}

void CALLBACK EventCounter::Receive(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD, DWORD) { ++Counts()[hwnd]; }

int EventCounter::CountFor(HWND window) const {
    auto found = Counts().find(window);
    return found != Counts().end() ? found->second : 0;
}

bool EventCounter::WaitFor(HWND window, int count, DWORD timeoutMs) {
    const DWORD until = ::GetTickCount() + timeoutMs;
    while (CountFor(window) < count)
        if (!Pump(until)) return CountFor(window) >= count;
    return true;
}

}  // namespace AssistiveView
