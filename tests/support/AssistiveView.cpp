#include "AssistiveView.h"

#include <oleacc.h>

#include <algorithm>
#include <map>

namespace AssistiveView {
namespace {
// MinGW's import library holds a stub of IID_IAccessible that the platform refuses.
const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// COM for one call's objects, as any client thread has it.
struct ComScope {
    const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope() {
        if (SUCCEEDED(result)) ::CoUninitialize();
    }
};

IAccessible* ObjectOf(HWND window, LONG id = OBJID_CLIENT) {
    IAccessible* object = nullptr;
    const DWORD objectId = static_cast<DWORD>(id);
    if (FAILED(::AccessibleObjectFromWindow(window, objectId, kIidAccessible, reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

Node ReadWindow(HWND window, LONG id = OBJID_CLIENT) {
    Node node;
    node.hwnd = window;
    IAccessible* object = ObjectOf(window, id);
    if (object == nullptr) return node;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    node.hasName = object->get_accName(self, &name) == S_OK && name != nullptr;
    if (name != nullptr) node.name.assign(name, ::SysStringLen(name));
    ::SysFreeString(name);
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) node.role = role.lVal;
    ::VariantClear(&role);
    object->Release();
    return node;
}

std::map<HWND, int> g_counts;

bool Pump(DWORD until) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    if (static_cast<LONG>(::GetTickCount() - until) >= 0) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    return true;
}
}  // namespace

Node Read(HWND window, LONG object) {
    ComScope com;
    return ReadWindow(window, object);
}

std::vector<Node> ReadChildren(HWND window) {
    ComScope com;
    std::vector<Node> nodes;
    IAccessible* client = ObjectOf(window);
    if (client == nullptr) return nodes;
    long count = 0;
    client->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<size_t>(std::max(count, 0L)));
    long got = 0;
    if (count > 0 && SUCCEEDED(::AccessibleChildren(client, 0, count, children.data(), &got))) {
        for (VARIANT& child : children) {
            IAccessible* object = nullptr;
            HWND hwnd = nullptr;
            if (child.vt == VT_DISPATCH && child.pdispVal != nullptr &&
                SUCCEEDED(child.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&object)))) {
                ::WindowFromAccessibleObject(object, &hwnd);
                object->Release();
            }
            if (hwnd != nullptr && hwnd != window) nodes.push_back(ReadWindow(hwnd));
            ::VariantClear(&child);
        }
    }
    client->Release();
    return nodes;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

HWND PressKey(HWND window, WORD key, bool shift, HWND expected, DWORD timeoutMs) {
    HWND top = ::GetAncestor(window, GA_ROOT);
    const DWORD until = ::GetTickCount() + timeoutMs;
    while (::GetForegroundWindow() != top && Pump(until)) ::SetForegroundWindow(top);
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD vk, DWORD up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up | (vk >= VK_LEFT && vk <= VK_DOWN ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(input);
    };
    if (shift) add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    HWND focus = FocusOf(window);
    while (expected != nullptr && (focus = FocusOf(window)) != expected && Pump(until)) {
    }
    return focus;
}

EventCounter::EventCounter(DWORD processId, DWORD event)
    : m_hook(::SetWinEventHook(event, event, nullptr, Receive, processId, 0, WINEVENT_OUTOFCONTEXT)) {
    g_counts.clear();
}

EventCounter::~EventCounter() {
    if (m_hook != nullptr) ::UnhookWinEvent(m_hook);
}

void CALLBACK EventCounter::Receive(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD, DWORD) { ++g_counts[hwnd]; }

bool EventCounter::WaitFor(HWND window, int count, DWORD timeoutMs) {
    const DWORD until = ::GetTickCount() + timeoutMs;
    while (g_counts[window] < count)
        if (!Pump(until)) return g_counts[window] >= count;
    return true;
}

}  // namespace AssistiveView
