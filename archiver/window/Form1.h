#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "ArchiveHold.h"
#include "ArchiveRow.h"
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
// Hands the window a string (long parameter) that the window then releases.
constexpr UINT kTakeTextMessage = 9999;
// The running operation is over.
constexpr UINT kOperationOverMessage = WM_APP + 1;
// The running operation needs a password; the result is 1 when the user gave one.
constexpr UINT kAskPasswordMessage = WM_APP + 2;

// doziruzidive's main window: the list of what to archive from the settings file,
// the four buttons, the progress of the running operation and the rows of the
// archive last listed. All archive work is SevenZip1's.
//
// The 7-Zip library reports progress from threads of its own while it packs or
// unpacks with several threads, and the thread that called it waits meanwhile: a
// window touched from such a report would wait for a thread that cannot answer.
// So each operation runs on a thread of its own, the window's thread keeps the
// window alive, and the component's events hand what they show over to it.
class TForm1 : public TForm {
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

    // Posts a copy of the text to the window with kTakeTextMessage; the window
    // releases it when the message arrives.
    bool HandOverText(const std::wstring& text);
    size_t TextsHandedOver() const { return m_handedOver.size(); }
    const TSettingsRecord& Settings() const { return m_settings; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class TBusy;
    // What an event of the running operation changes in the window.
    struct TStep {
        enum class TKind { ShowFile, TotalMax, Positions } Kind;
        std::wstring Name;
        uint64_t First = 0;
        uint64_t Second = 0;
    };

    // "Koniec" or a close of the window was asked for: nothing more starts, and
    // no answer of a dialog open meanwhile counts.
    bool Closing() const;
    int32_t RunOperation(const std::function<int32_t()>& operation);
    void QueueStep(TStep step);
    // Shows queued steps for up to the budget; true when some are left.
    bool ShowSteps(DWORD budgetMs);

    void CreateControls();
    void ConfigureSevenZip1();
    void ClearRows();
    // The archive that "Odtwórz archiwum" restores from, as held now.
    void KeepArchive(const std::wstring& name, const TArchiveHold& hold);
    // The kept archive's chosen rows or, without a choice, all of it, once it is
    // seen to be the archive kept; the result of Extract, or -1.
    int32_t RestoreKeptArchive();
    void TakeText(LPARAM text);
    // On the window's thread, for the operation's: the answer of PasswordDialog1.
    bool AskPassword(std::wstring& password);
    std::wstring Entry(size_t index) const;

    TSettingsRecord m_settings;
    TArchiveRows m_rows;
    // The archive last listed or written, its files as they were then; no name
    // when there is none. The rows, when there are any, are its items.
    std::wstring m_archiveName;
    std::vector<TArchiveFileState> m_archiveFiles;
    // Within one restore, its check and its extraction ask for a password once.
    bool m_keepPasswordAnswer = false;
    std::optional<std::wstring> m_keptPasswordAnswer;
    // A volume cut short, as the running operation reported it (error 19); under
    // the steps' lock, since the library may read from threads of its own.
    std::wstring m_shortVolume;
    std::unordered_set<wchar_t*> m_handedOver;
    bool m_busy = false;
    bool m_takingText = false;  // message 9999 is letting messages run
    std::atomic<std::wstring*> m_passwordAnswer{nullptr};  // the running operation's question
    std::mutex m_stepsLock;
    std::deque<TStep> m_steps;
};
