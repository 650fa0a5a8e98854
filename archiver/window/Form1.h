#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveHold.h"
#include "ArchiveRow.h"
#include "OperationRunner.h"
#include "SettingsRecord.h"
#include "archive/SevenZip.h"
#include "framework/Bevel.h"
#include "framework/Edit.h"
#include "framework/FileDialog.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/ListView.h"
#include "framework/Panel.h"
#include "framework/PasswordDialog.h"
#include "framework/ProgressBar.h"
#include "framework/SpeedButton.h"

// The settings file, read from the current folder.
constexpr wchar_t kSettingsFileName[] = L"doziruzidive_config.dat";

// doziruzidive's main window: the list of what to archive from the settings file,
// the four buttons, the progress of the running operation and the rows of the
// archive last listed. All archive work is SevenZip1's, run by the operation
// runner on a thread of its own while the window stays alive.
class TForm1 : public TForm, private TOperationRunner::TView {
public:
    // Binds the archive library (throws Exception with the library's load message
    // when it cannot), creates the controls and runs FormCreate. The window is
    // shown by the application.
    explicit TForm1(TComponent* Owner);
    ~TForm1() override;

    TLabel* Label5 = nullptr;
    TLabel* Label1 = nullptr;
    TBevel* Bevel1 = nullptr;
    TLabel* Label2 = nullptr;
    TProgressBar* ProgressBar2 = nullptr;
    TLabel* Label3 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TListView* ListView1 = nullptr;
    TLabel* Label4 = nullptr;
    TListBox* ListBox1 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton4 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TEdit* volsize = nullptr;
    TEdit* Password7z = nullptr;
    TSevenZip* SevenZip1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TOpenDialog* OpenDialog2 = nullptr;
    TPasswordDialog* PasswordDialog1 = nullptr;

    void FormCreate(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton4Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void SevenZip1Listfile(TObject* Sender, const std::wstring& Filename, uint64_t Fileindex, uint64_t FileSizeU,
                           uint64_t FileSizeP, uint64_t Fileattr, uint64_t Filecrc, const std::wstring& Filemethod,
                           double FileTime);
    void SevenZip1Addfile(TObject* Sender, const std::wstring& Filename, uint64_t Filesize);
    void SevenZip1Extractfile(TObject* Sender, const std::wstring& Filename, uint64_t Filesize);
    void SevenZip1PreProgress(TObject* Sender, uint64_t MaxProgress);
    void SevenZip1Progress(TObject* Sender, const std::wstring& Filename, uint64_t FilePosArc, uint64_t FilePosFile);
    void SevenZip1Message(TObject* Sender, int32_t ErrCode, const std::string& Message, const std::wstring& Filename);
    void SevenZip1ExtractOverwrite(TObject* Sender, const std::wstring& FileName, bool& DoOverwrite);
    void SevenZip1Password(TObject* Sender, std::wstring& Password, bool& Cancel);
    void ListView1Data(TObject* Sender, int Row, int Column, std::wstring& Text);

    TOperationRunner& Runner() { return *m_runner; }
    const TSettingsRecord& Settings() const { return m_settings; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class TBusy;

    // "Koniec" or a close of the window was asked for: nothing more starts, and
    // no answer of a dialog open meanwhile counts.
    bool Closing() const;
    // The operation, run; then what it asks to be told in a box.
    int32_t RunOperation(const std::function<int32_t()>& operation);
    void ShowNotice();

    void CreateControls();
    // Names for assistive technology, the result label as a live region, the
    // focus on the first button.
    void DescribeControls();
    // An action's result in Label1, read out by assistive technology.
    void ShowResult(const std::wstring& text);
    void ConfigureSevenZip1();
    void ClearRows();
    // The archive that "Odtwórz archiwum" restores from: its name, its start
    // header as listed or written, its files held; ForgetArchive lets it go.
    void KeepArchive(const std::wstring& name, TArchiveHold hold, const TStartHeader& startHeader);
    void ForgetArchive();
    // The kept archive's chosen rows or, without a choice, all of it, when it is
    // still what the user saw; the result of Extract, or -1.
    int32_t RestoreKeptArchive();
    std::wstring Entry(size_t index) const;

    // TOperationRunner::TView: on the window's thread.
    void ShowFile(const std::wstring& name, uint64_t size) override;
    void ShowTotal(uint64_t total) override;
    void ShowPositions(uint64_t total, uint64_t file) override;
    bool AskPassword(std::wstring& password) override;

    TSettingsRecord m_settings;
    std::vector<std::wstring> m_entries;  // what "Archiwizuj" packs
    TArchiveRows m_rows;
    // The archive last listed or written; no name when there is none. The rows,
    // when there are any, are its items.
    std::wstring m_archiveName;
    TStartHeader m_archiveHeader{};
    TArchiveHold m_hold;
    // What the running operation reported that the user is told in a box once it
    // is over: a volume cut short (error 19), an archive that changed since it was
    // listed (20). Written on the operation's thread, read after it has ended.
    int32_t m_notice = 0;
    std::wstring m_noticeFile;
    bool m_busy = false;
    std::unique_ptr<TOperationRunner> m_runner;
};
