#include "Form1.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "SettingsFile.h"
#include "archive/ShownName.h"
#include "archive/WidePath.h"
#include "framework/Application.h"

namespace {
const TFont kFormFont{L"MS Sans Serif", 11, clBlack, DEFAULT_CHARSET};  // 8 points
constexpr TColor kFormColor = RGB(243, 243, 243);

// What Label1 shows after an action: 0 and 1 as they are; any other failure,
// whatever the library's code for it, as -1.
std::wstring ResultText(int32_t result) { return std::to_wstring(result == 0 || result == 1 ? result : -1); }

// An integer as typed: optional sign and decimal digits, within 32 bits.
bool StrToInt(const std::wstring& text, int32_t& value) {
    int64_t number = 0;
    if (!ParseSignedDecimal(text, number) || number < INT32_MIN || number > INT32_MAX) return false;
    value = static_cast<int32_t>(number);
    return true;
}
}  // namespace

// While an action runs the other actions wait: the window stays alive during an
// operation, and a second operation started meanwhile would close or replace the
// archive the library is still working on. "Koniec" stays. Disabled buttons can
// still be sent a click by a program, hence the flag too.
class TForm1::TBusy {
public:
    explicit TBusy(TForm1& form) : m_form(form) {
        m_form.m_busy = true;
        Enable(false);
    }
    ~TBusy() {
        Enable(true);
        m_form.m_busy = false;
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    void Enable(bool enabled) {
        for (TSpeedButton* button : {m_form.SpeedButton1, m_form.SpeedButton4, m_form.SpeedButton2})
            button->SetEnabled(enabled);
    }
    TForm1& m_form;
};

TForm1::TForm1(TComponent* Owner)
    : TForm(Owner, L"TForm1", 756, 466, TBorderIcons{TBorderIcon::biMinimize}, kFormColor, kFormFont) {
    Name = "Form1";
    Publish("FormCreate", &TForm1::FormCreate);
    Publish("SpeedButton1Click", &TForm1::SpeedButton1Click);
    Publish("SpeedButton4Click", &TForm1::SpeedButton4Click);
    Publish("SpeedButton2Click", &TForm1::SpeedButton2Click);
    Publish("SpeedButton3Click", &TForm1::SpeedButton3Click);
    Publish("SevenZip1Listfile", &TForm1::SevenZip1Listfile);
    Publish("SevenZip1Addfile", &TForm1::SevenZip1Addfile);
    Publish("SevenZip1Extractfile", &TForm1::SevenZip1Extractfile);
    Publish("SevenZip1PreProgress", &TForm1::SevenZip1PreProgress);
    Publish("SevenZip1Progress", &TForm1::SevenZip1Progress);
    Publish("SevenZip1Message", &TForm1::SevenZip1Message);
    Publish("SevenZip1ExtractOverwrite", &TForm1::SevenZip1ExtractOverwrite);
    Publish("SevenZip1Password", &TForm1::SevenZip1Password);
    Publish("ListView1Data", &TForm1::ListView1Data);

    SevenZip1 = new TSevenZip(this);
    ConfigureSevenZip1();
    CreateControls();
    PasswordDialog1 = new TPasswordDialog(this);
    PasswordDialog1->Name = "PasswordDialog1";
    PasswordDialog1->Caption = L"Hasło do archiwum";
    PasswordDialog1->OkCaption = L"OK";
    PasswordDialog1->CancelCaption = L"Anuluj";
    DoCreate();
}

TForm1::~TForm1() {
    for (wchar_t* text : m_handedOver) delete[] text;
}

std::wstring TForm1::Entry(size_t index) const { return SettingsEntryText(m_settings.Entries[index]); }

void TForm1::FormCreate(TObject*) {
    TSettingsRecord record;
    if (DWORD error = ReadSettingsFile(kSettingsFileName, record)) {
        Application().MessageBox(SystemErrorText(error), MB_OK | MB_ICONERROR);
        return;
    }
    m_settings = record;
    Label1->SetText(L"0");
    for (size_t i = kFirstItemEntry; i <= kLastItemEntry; ++i)
        if (!m_settings.Entries[i].empty()) ListBox1->AddItem(Entry(i));
}

void TForm1::SpeedButton1Click(TObject*) {
    if (m_busy || Closing()) return;
    TBusy busy(*this);
    // Closed while the dialog (or its question whether to replace the file) was
    // open: whatever the dialog then says is no answer of the user's.
    if (!SaveDialog1->Execute(Handle()) || Closing()) return;
    SevenZip1->SZFileName = SaveDialog1->FileName;
    // The rows belong to the archive listed before: restoring by them would pick
    // items of another archive by their numbers.
    ClearRows();
    int32_t volumeSize = 0;
    if (!StrToInt(volsize->Text(), volumeSize)) {
        Application().MessageBox(L"'" + volsize->Text() + L"' is not a valid integer value", MB_OK | MB_ICONERROR);
        return;
    }
    SevenZip1->SetVolumeSize(volumeSize);
    SevenZip1->Files.Clear();
    for (size_t i = kFirstItemEntry; i <= kLastItemEntry; ++i) {
        if (m_settings.Entries[i].empty()) continue;
        SevenZip1->AddRootDir = Entry(kRootEntry);
        if (!Password7z->Text().empty()) SevenZip1->Password = Password7z->Text();
        SevenZip1->Files.Add(Entry(i));
    }
    int32_t result = -1;
    try {
        result = RunOperation([this] { return SevenZip1->Add(); });
    } catch (const EAbort&) {
        // The archive file could not be made; the component has nothing to say
        // about it and the window carries on.
    }
    // 1: written without files that could not be read. Only an archive written is
    // the one to restore now; one that was not leaves the one before.
    if (result == 0 || result == 1) {
        const std::wstring written =
            SevenZip1->VolumeNames.empty() ? SevenZip1->SZFileName : SevenZip1->VolumeNames.front();
        KeepArchive(written, TArchiveHold(written));
    }
    Label1->SetText(ResultText(result));
}

void TForm1::SpeedButton4Click(TObject*) {
    if (m_busy || Closing()) return;
    TBusy busy(*this);
    ClearRows();
    if (!OpenDialog2->Execute(Handle()) || Closing()) return;
    SevenZip1->SZFileName = OpenDialog2->FileName;
    // Until it is listed there is no archive to restore: not the one before either.
    m_archiveName.clear();
    m_archiveFiles.clear();
    // Held while it is listed: nobody changes it between the rows and what is kept of it.
    const TArchiveHold hold(SevenZip1->SZFileName);
    const int32_t result = RunOperation([this] { return SevenZip1->List(); });
    ListView1->SetItemCount(static_cast<int>(m_rows.Count()));
    if (result >= 0) KeepArchive(SevenZip1->SZFileName, hold);
    Label1->SetText(std::to_wstring(result));
}

void TForm1::SpeedButton2Click(TObject*) {
    if (m_busy || Closing()) return;
    TBusy busy(*this);
    // 0 only when every requested item was written.
    const int32_t result = RestoreKeptArchive();
    Label1->SetText(ResultText(result == 0 ? 0 : -1));
}

void TForm1::KeepArchive(const std::wstring& name, const TArchiveHold& hold) {
    // One that cannot be held cannot be checked either: there is none to restore.
    m_archiveName = hold.Held() ? name : std::wstring();
    m_archiveFiles = hold.Held() ? hold.Files() : std::vector<TArchiveFileState>();
}

int32_t TForm1::RestoreKeptArchive() {
    SevenZip1->ExtrBaseDir = Entry(kRestoreEntry);
    SevenZip1->ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    SevenZip1->Files.Clear();
    // No archive listed or written, or one that is gone: the component is given
    // none, and refuses it as a missing archive (error 1). Not the name itself: a
    // file that came back under it since would be restored unchecked.
    const TArchiveHold hold(m_archiveName);
    if (hold.Missing()) {
        SevenZip1->SZFileName.clear();
        return RunOperation([this] { return SevenZip1->Extract(); });
    }
    // The items go by their numbers, which another archive under the same name
    // would give to other files: the archive must be the one whose rows the user
    // chose from, or, without a choice, the one whose whole content is meant.
    std::vector<int> rows;
    std::vector<uint32_t> indices;
    if (ListView1->SelCount() > 0)
        for (int row = ListView1->NextSelected(-1); row >= 0; row = ListView1->NextSelected(row)) {
            rows.push_back(row);
            indices.push_back(static_cast<uint32_t>(m_rows.Row(static_cast<size_t>(row)).Fileindex));
        }
    SevenZip1->SZFileName = m_archiveName;
    m_keepPasswordAnswer = true;
    struct TForgetAnswer {
        TForm1& Form;
        ~TForgetAnswer() {
            Form.m_keepPasswordAnswer = false;
            Form.m_keptPasswordAnswer.reset();
        }
    } forget{*this};
    bool same = hold.Held() && hold.Files() == m_archiveFiles;
    if (same && !indices.empty()) {
        std::vector<std::wstring> names;
        const int32_t count = RunOperation([&] { return SevenZip1->GetFilenamesByIndex(indices, names); });
        if (count < 0) return -1;  // not opened: the component has said why
        for (size_t i = 0; same && i < indices.size(); ++i)
            same = indices[i] < static_cast<uint32_t>(count) &&
                   names[i] == m_rows.Row(static_cast<size_t>(rows[i])).Filename;
    }
    if (!same) {
        if (!Closing())
            Application().MessageBox(L"Archiwum \u201E" + ShownName(FileNamePart(m_archiveName)) +
                                         L"\u201D zmieniło się, odkąd je wczytano lub utworzono. Nic nie zostało "
                                         L"odtworzone: wczytaj archiwum ponownie.",
                                     MB_OK | MB_ICONWARNING);
        return -1;
    }
    for (uint32_t index : indices) SevenZip1->Files.Add(std::to_wstring(index));
    return RunOperation([this] { return SevenZip1->Extract(); });
}

void TForm1::SpeedButton3Click(TObject*) {
    // A running operation stops at the library's next progress report and cleans
    // up after itself; the program ends as soon as it has returned.
    SevenZip1->Cancel();
    Hide();
    Application().Terminate();
}

void TForm1::ClearRows() {
    ListView1->Clear();
    m_rows.Clear();
}

bool TForm1::Closing() const { return Application().Terminated(); }

int32_t TForm1::RunOperation(const std::function<int32_t()>& operation) {
    // A close that came meanwhile (a message box of the action) wins; the
    // component's own check covers a close made while the worker starts.
    if (Closing()) return -1;
    std::atomic<bool> finished{false};
    int32_t result = -1;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            result = operation();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        ::PostMessageW(Handle(), kOperationOverMessage, 0, 0);  // wakes the wait below
    });
    // The steps are shown every few milliseconds, all that came meanwhile, each as
    // it was; when they come faster than bars repaint, a slice at a time, with the
    // user's clicks and the painting between the slices. The loop lasts until the
    // operation is over, also after "Koniec": the component must not go while it
    // works.
    bool behind = false;
    while (!finished || behind) {
        if (!behind) ::MsgWaitForMultipleObjectsEx(0, nullptr, 15, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        Application().ProcessMessages();
        behind = ShowSteps(20);
    }
    worker.join();
    // Told rather than asked: a volume past the end of the set was never written.
    if (!m_shortVolume.empty() && !Closing())
        Application().MessageBox(L"Wolumin \u201E" + ShownName(FileNamePart(m_shortVolume)) +
                                     L"\u201D jest krótszy, niż wymaga zestaw woluminów: archiwum nie może zostać "
                                     L"odczytane.",
                                 MB_OK | MB_ICONERROR);
    m_shortVolume.clear();
    if (failure) std::rethrow_exception(failure);
    return result;
}

void TForm1::QueueStep(TStep step) {
    std::lock_guard<std::mutex> lock(m_stepsLock);
    m_steps.push_back(std::move(step));
}

bool TForm1::ShowSteps(DWORD budgetMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        TStep step;
        {
            std::lock_guard<std::mutex> lock(m_stepsLock);
            if (m_steps.empty()) return false;
            if (::GetTickCount() - start >= budgetMs) return true;
            step = std::move(m_steps.front());
            m_steps.pop_front();
        }
        // Once the program is ending, nobody looks.
        if (Application().Terminated()) continue;
        switch (step.Kind) {
        case TStep::TKind::ShowFile:
            Label1->SetText(ShownName(step.Name));
            ProgressBar2->SetPosition(0);
            ProgressBar2->SetMax(step.First);
            break;
        case TStep::TKind::TotalMax: ProgressBar1->SetMax(step.First); break;
        case TStep::TKind::Positions:
            ProgressBar1->SetPosition(step.First);
            ProgressBar2->SetPosition(step.Second);
            break;
        }
    }
}

// The component's events come on the operation's threads: rows are collected for
// the list to show when the operation is over, and what the labels and bars show
// goes to the window's thread, every step in order.

void TForm1::SevenZip1Listfile(TObject*, const std::wstring& Filename, uint64_t Fileindex, uint64_t FileSizeU,
                               uint64_t FileSizeP, uint64_t Fileattr, uint64_t Filecrc,
                               const std::wstring& Filemethod, double FileTime) {
    if (!HasRow(Fileattr)) return;
    // The count is known before the first item: the rows grow once. (A damaged
    // archive may claim any count; beyond a million the rows grow as they come.)
    if (m_rows.Count() == 0) m_rows.Reserve(std::min<size_t>(static_cast<size_t>(std::max(SevenZip1->NumberOfFiles, 0)), 1 << 20));
    m_rows.Add(Filename, Fileindex, FileSizeU, FileSizeP, Fileattr, Filecrc, Filemethod, FileTime);
}

void TForm1::SevenZip1Addfile(TObject*, const std::wstring& Filename, uint64_t Filesize) {
    QueueStep({TStep::TKind::ShowFile, Filename, Filesize});
}

void TForm1::SevenZip1Extractfile(TObject*, const std::wstring& Filename, uint64_t Filesize) {
    QueueStep({TStep::TKind::ShowFile, Filename, Filesize});
}

void TForm1::SevenZip1PreProgress(TObject*, uint64_t MaxProgress) {
    if (MaxProgress > 0) QueueStep({TStep::TKind::TotalMax, {}, MaxProgress});
}

void TForm1::SevenZip1Progress(TObject*, const std::wstring&, uint64_t FilePosArc, uint64_t FilePosFile) {
    QueueStep({TStep::TKind::Positions, {}, FilePosArc, FilePosFile});
}

void TForm1::SevenZip1Message(TObject*, int32_t ErrCode, const std::string&, const std::wstring& Filename) {
    // Errors of the operations are not shown; Label1 tells a failed load or restore.
    // A volume cut short is told once the operation is over: the window would
    // otherwise have asked for one.
    if (ErrCode != kShortVolume) return;
    std::lock_guard<std::mutex> lock(m_stepsLock);
    m_shortVolume = Filename;
}

void TForm1::SevenZip1ExtractOverwrite(TObject*, const std::wstring&, bool& DoOverwrite) { DoOverwrite = true; }

// The operation's thread waits for the answer; the dialog belongs to the window's.
void TForm1::SevenZip1Password(TObject*, std::wstring& Password, bool& Cancel) {
    if (m_keptPasswordAnswer) {
        Password = *m_keptPasswordAnswer;
        Cancel = false;
        return;
    }
    m_passwordAnswer = &Password;
    Cancel = ::SendMessageW(Handle(), kAskPasswordMessage, 0, 0) == 0;
    m_passwordAnswer = nullptr;
    if (m_keepPasswordAnswer && !Cancel) m_keptPasswordAnswer = Password;
}

bool TForm1::AskPassword(std::wstring& password) {
    // Once the program is ending, nobody answers.
    if (Closing()) return false;
    PasswordDialog1->Prompt = L"Hasło do archiwum " + FileNamePart(SevenZip1->SZFileName) + L":";
    const bool answered = PasswordDialog1->Execute(Handle());
    password = PasswordDialog1->Password;
    PasswordDialog1->Password.clear();
    return answered && !Closing();
}

void TForm1::ListView1Data(TObject*, int Row, int Column, std::wstring& Text) {
    if (Row >= 0 && static_cast<size_t>(Row) < m_rows.Count()) Text = RowCell(m_rows.Row(static_cast<size_t>(Row)), Column);
}

bool TForm1::HandOverText(const std::wstring& text) {
    auto* copy = new wchar_t[text.size() + 1];
    text.copy(copy, text.size());
    copy[text.size()] = L'\0';
    m_handedOver.insert(copy);
    if (::PostMessageW(Handle(), kTakeTextMessage, 0, reinterpret_cast<LPARAM>(copy))) return true;
    m_handedOver.erase(copy);
    delete[] copy;
    return false;
}

void TForm1::TakeText(LPARAM text) {
    // Any process can post this message, with any value: only a string this
    // window handed over itself is released, anything else is not ours to free.
    auto found = m_handedOver.find(reinterpret_cast<wchar_t*>(text));
    if (found != m_handedOver.end()) {
        delete[] *found;
        m_handedOver.erase(found);
    }
    // A flood of these messages would otherwise nest one message loop in the next
    // until the stack runs out: the first lets the others run, each of them returns.
    if (m_takingText) return;
    m_takingText = true;
    Application().ProcessMessages();
    m_takingText = false;
}

LRESULT TForm1::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kTakeTextMessage: TakeText(lParam); return 0;
    case kOperationOverMessage: return 0;  // wakes RunOperation
    // Any process may send it: only a question of the running operation is asked.
    case kAskPasswordMessage: {
        std::wstring* answer = m_passwordAnswer;
        return answer != nullptr && AskPassword(*answer) ? 1 : 0;
    }
    // The window has no close button; closing it another way (Alt+F4, the
    // taskbar) ends the program as "Koniec" does.
    case WM_CLOSE: SpeedButton3Click(this); return 0;
    }
    return TForm::WindowProc(message, wParam, lParam);
}
