#include "PasswordDialog.h"

#include <vector>

#include "Application.h"

namespace {
constexpr int kPromptId = 100;
constexpr int kEditId = 101;

// A dialog template built word by word: the header, then each item aligned to a
// double word, every text as UTF-16 with its NUL.
class TDialogTemplate {
public:
    TDialogTemplate(const std::wstring& caption, short width, short height, int items) {
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
        Add32(style);
        Add32(0);  // extended style
        Add16(static_cast<WORD>(items));
        AddBox(0, 0, width, height);
        Add16(0);  // no menu
        Add16(0);  // the standard dialog class
        AddText(caption);
        Add16(8);  // points
        AddText(L"MS Shell Dlg");
    }
    // An item of a predefined class: 0x80 button, 0x81 edit, 0x82 static.
    void AddItem(WORD atom, int id, DWORD style, short x, short y, short cx, short cy, const std::wstring& text) {
        while (m_words.size() % 2 != 0) Add16(0);
        Add32(style | WS_CHILD | WS_VISIBLE);
        Add32(0);
        AddBox(x, y, cx, cy);
        Add16(static_cast<WORD>(id));
        Add16(0xFFFF);
        Add16(atom);
        AddText(text);
        Add16(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Add16(WORD word) { m_words.push_back(word); }
    void Add32(DWORD value) {
        Add16(LOWORD(value));
        Add16(HIWORD(value));
    }
    void AddBox(short x, short y, short cx, short cy) {
        for (short value : {x, y, cx, cy}) Add16(static_cast<WORD>(value));
    }
    void AddText(const std::wstring& text) {
        m_words.insert(m_words.end(), text.begin(), text.end());
        Add16(0);
    }
    std::vector<WORD> m_words;  // WORD-aligned, as the platform wants the template
};
}  // namespace

bool TPasswordDialog::Execute(HWND owner) {
    TDialogTemplate layout(Caption, 200, 62, 4);
    layout.AddItem(0x82, kPromptId, SS_LEFT | SS_NOPREFIX, 7, 7, 186, 9, Prompt);
    layout.AddItem(0x81, kEditId, ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 19, 186, 14, L"");
    layout.AddItem(0x80, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 89, 41, 50, 14, OkCaption);
    layout.AddItem(0x80, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 143, 41, 50, 14, CancelCaption);
    Password.clear();
    const INT_PTR answer = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), layout.Get(), owner, DialogProc,
                                                     reinterpret_cast<LPARAM>(this));
    return answer == IDOK;
}

INT_PTR CALLBACK TPasswordDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return Application().Guarded(INT_PTR{FALSE}, [&]() -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            return TRUE;  // the focus goes to the edit box, the first with a tab stop
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* self = reinterpret_cast<TPasswordDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
                HWND edit = ::GetDlgItem(dialog, kEditId);
                std::wstring typed(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
                const int length = ::GetWindowTextW(edit, typed.data(), static_cast<int>(typed.size()));
                typed.resize(static_cast<size_t>(length));
                self->Password = typed;
                ::EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        }
        return FALSE;
    });
}
