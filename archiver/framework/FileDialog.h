#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "Component.h"
#include "Set.h"

enum class TOpenOption : uint8_t { ofOverwritePrompt, ofHideReadOnly, ofEnableSizing, ofNoChangeDir };
using TOpenOptions = TSet<TOpenOption>;

// The platform's open and save dialogs (Common Dialog Box Library reference).
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* Owner) : TComponent(Owner) {}

    // "description|pattern", as layouts write it.
    std::wstring Filter;
    // Added to a name typed without an extension; written without the dot.
    std::wstring DefaultExt;
    TOpenOptions Options;
    std::wstring FileName;

    // False when the user cancels.
    bool Execute(HWND owner);

protected:
    virtual bool Show(OPENFILENAMEW& dialog) { return ::GetOpenFileNameW(&dialog) != FALSE; }
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* Owner) : TOpenDialog(Owner) {}

protected:
    bool Show(OPENFILENAMEW& dialog) override { return ::GetSaveFileNameW(&dialog) != FALSE; }
};
