#pragma once
#include <shlobj.h>
#include <windows.h>

#include <optional>
#include <string>

#include "FolderChecks.h"
#include "PathDialogSub.h"

// Lets the user pick a destination folder in the platform's folder browser or type
// one into a box added above the tree. Only a valid local drive path that exists,
// or that the user agrees to create, is accepted.
class CPathDialog {
public:
    // Items of the platform's browse dialog, and the id the typed-path box gets.
    static constexpr int kFolderTreeId = 14145;
    static constexpr int kStatusTextId = 14147;
    static constexpr int kPathEditId = 14148;

    // A null caption keeps the platform's; a null starting folder selects the
    // current directory and an empty one nothing. A null parent takes the
    // application's main window.
    CPathDialog(const char* caption, const char* title, const char* startingFolder, HWND parent = nullptr);
    CPathDialog(const CPathDialog&) = delete;
    CPathDialog& operator=(const CPathDialog&) = delete;

    // IDOK when a folder was accepted.
    int RunChooser();
    // Meaningful after RunChooser returned IDOK.
    const char* ChosenPath() const { return m_chosenPath; }

    // 0 when the folder exists or was created, -1 when the user declined to create
    // it, otherwise the MakeFolder code after its message was shown.
    int ValidateFolder(const char* path);

private:
    friend class CPathDialogSub;

    static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data);
    void OnInitialized(HWND dialog);
    void OnSelectionChanged(HWND dialog, LPCITEMIDLIST item);
    void CreatePathEdit(HWND dialog);
    int ShowFolderMessage(const char* format, const char* path, UINT type);
    // Shows the message for a MakeFolder failure; the code.
    int ShowRefusal(int code, const char* path);

    std::optional<std::string> m_caption;
    std::string m_title;
    std::optional<std::string> m_startingFolder;
    HWND m_owner = nullptr;
    HWND m_dialog = nullptr;
    char m_chosenPath[kFolderPathChars] = {};
    bool m_accepted = false;
    CPathDialogSub m_sub{*this};
};
