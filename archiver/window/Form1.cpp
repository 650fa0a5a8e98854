#include "Form1.h"

#include <algorithm>
#include <array>
#include <utility>

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
//
// The keyboard focus goes to "Koniec" before the button that has it is
// disabled, and that button has it again when the action is over, unless the
// user has moved it meanwhile.
class TForm1::TBusy {
public:
    explicit TBusy(TForm1& form) : m_form(form), m_focus(::GetFocus()) {
        m_form.m_busy = true;
        for (TSpeedButton* button : Buttons())
            if (button->Focused()) ::SetFocus(m_form.SpeedButton3->Handle());
        Enable(false);
        m_refuge = ::GetFocus();
    }
    ~TBusy() {
        Enable(true);
        m_form.m_busy = false;
        HWND now = ::GetFocus();
        if (m_focus != nullptr && m_focus != m_refuge && (now == m_refuge || now == nullptr || now == m_form.Handle()))
            m_form.FocusControl(m_focus);
    }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    std::array<TSpeedButton*, 3> Buttons() const {
        return {m_form.SpeedButton1, m_form.SpeedButton4, m_form.SpeedButton2};
    }
    void Enable(bool enabled) {
        for (TSpeedButton* button : Buttons()) button->SetEnabled(enabled);
    }
    TForm1& m_form;
    HWND m_focus;             // where the focus was when the action began
    HWND m_refuge = nullptr;  // where it went from the disabled buttons
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
    DescribeControls();
    PasswordDialog1 = new TPasswordDialog(this);
    PasswordDialog1->Name = "PasswordDialog1";
    PasswordDialog1->Caption = L"Hasło do archiwum";
    PasswordDialog1->OkCaption = L"OK";
    PasswordDialog1->CancelCaption = L"Anuluj";
    TOperationRunner::TView& view = *this;
    m_runner = std::make_unique<TOperationRunner>(Handle(), view);
    DoCreate();
}

// The archive held is let go with the window.
TForm1::~TForm1() = default;

std::wstring TForm1::Entry(size_t index) const { return SettingsEntryText(m_settings.Entries[index]); }

void TForm1::FormCreate(TObject*) {
    TSettingsRecord record;
    if (DWORD error = ReadSettingsFile(kSettingsFileName, record)) {
        Application().MessageBox(SystemErrorText(error), MB_OK | MB_ICONERROR);
        return;
    }
    m_settings = record;
    m_entries = ItemEntries(m_settings);
    Label1->SetText(L"0");
    for (const std::wstring& entry : m_entries) ListBox1->AddItem(entry);
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
    if (!m_entries.empty()) SevenZip1->AddRootDir = Entry(kRootEntry);
    for (const std::wstring& entry : m_entries) SevenZip1->Files.Add(entry);
    // The box serves this pack alone: a load or a restore asks for its own.
    SevenZip1->Password = Password7z->Text();
    // The pack may replace the archive held: it is let go meanwhile.
    m_hold = TArchiveHold();
    int32_t result = -1;
    try {
        result = RunOperation([this] { return SevenZip1->Add(); });
    } catch (const EAbort&) {
        // The archive file could not be made; the component has nothing to say
        // about it and the window carries on.
    }
    SevenZip1->Password.clear();
    // 1: written without files that could not be read. Only an archive written is
    // the one to restore now; one that was not leaves the one before, held again
    // (what it is now is checked when it is restored).
    if (result == 0 || result == 1) {
        const std::wstring written =
            SevenZip1->VolumeNames.empty() ? SevenZip1->SZFileName : SevenZip1->VolumeNames.front();
        KeepArchive(written, TArchiveHold(written), SevenZip1->ArchiveStartHeader);
    } else if (!m_archiveName.empty()) {
        m_hold = TArchiveHold(m_archiveName);
    }
    ShowResult(ResultText(result));
}

void TForm1::SpeedButton4Click(TObject*) {
    if (m_busy || Closing()) return;
    TBusy busy(*this);
    ClearRows();
    if (!OpenDialog2->Execute(Handle()) || Closing()) return;
    SevenZip1->SZFileName = OpenDialog2->FileName;
    SevenZip1->Password.clear();
    // Until it is listed there is no archive to restore: not the one before either.
    ForgetArchive();
    // Held from before it is listed until another is: nobody changes it between
    // the rows and the restore.
    TArchiveHold hold(SevenZip1->SZFileName);
    const int32_t result = RunOperation([this] { return SevenZip1->List(); });
    ListView1->SetItemCount(static_cast<int>(m_rows.Count()));
    if (result >= 0) KeepArchive(SevenZip1->SZFileName, std::move(hold), SevenZip1->ArchiveStartHeader);
    ShowResult(std::to_wstring(result));
}

void TForm1::SpeedButton2Click(TObject*) {
    if (m_busy || Closing()) return;
    TBusy busy(*this);
    // 0 only when every requested item was written.
    const int32_t result = RestoreKeptArchive();
    ShowResult(ResultText(result == 0 ? 0 : -1));
}

void TForm1::KeepArchive(const std::wstring& name, TArchiveHold hold, const TStartHeader& startHeader) {
    m_archiveName = name;
    m_archiveHeader = startHeader;
    m_hold = std::move(hold);
}

void TForm1::ForgetArchive() {
    m_archiveName.clear();
    m_archiveHeader = {};
    m_hold = TArchiveHold();
}

int32_t TForm1::RestoreKeptArchive() {
    SevenZip1->ExtrBaseDir = Entry(kRestoreEntry);
    SevenZip1->ExtractOptions.Include(ExtractOptsEnum::ExtractOverwrite);
    SevenZip1->Files.Clear();
    SevenZip1->Password.clear();
    // No archive listed or written: the component is given none, and refuses it
    // as a missing archive (error 1).
    SevenZip1->SZFileName = m_archiveName;
    // The items go by their numbers, which another archive under the same name
    // would give to other files: the archive must be the one the user saw, with
    // the rows chosen, or without a choice every row, as they show.
    std::vector<size_t> rows;
    if (ListView1->SelCount() > 0)
        for (int row = ListView1->NextSelected(-1); row >= 0; row = ListView1->NextSelected(row))
            rows.push_back(static_cast<size_t>(row));
    for (size_t row : rows) SevenZip1->Files.Add(std::to_wstring(m_rows.Row(row).Fileindex));
    SevenZip1->ExpectedArchive.reset();
    if (!m_archiveName.empty())
        SevenZip1->ExpectedArchive = TExpectedArchive{m_archiveHeader, [this, rows](size_t number, TShownItem& item) {
            const size_t row = rows.empty() ? number : number < rows.size() ? rows[number] : m_rows.Count();
            if (row >= m_rows.Count()) return false;
            const TArchiveRow shown = m_rows.Row(row);
            item = {static_cast<uint32_t>(shown.Fileindex), shown.Filename, shown.FileSizeU,
                    static_cast<uint32_t>(shown.Filecrc)};
            return true;
        }};
    const int32_t result = RunOperation([this] { return SevenZip1->Extract(); });
    SevenZip1->ExpectedArchive.reset();
    return result;
}

void TForm1::SpeedButton3Click(TObject*) {
    // A running operation stops at the library's next progress report and cleans
    // up after itself; the program ends as soon as it has returned.
    SevenZip1->Cancel();
    Hide();
    Application().Terminate();
}

void TForm1::DescribeControls() {
    // The window has no caption text; its title is the label at its top.
    SetAccessibleName([] { return std::wstring(L"Doziruzidive"); });
    ListView1->SetAccessibleName([] { return std::wstring(L"Zawartość archiwum"); });
    const std::pair<TWinControl*, TLabel*> labelled[] = {
        {ListBox1, Label4}, {ProgressBar2, Label2}, {ProgressBar1, Label3}};
    for (const auto& [control, label] : labelled) control->SetAccessibleName([label] { return label->Text(); });
    // A number there is an action's result; during an action it names the file.
    Label1->SetAccessibleName([this] {
        int32_t number = 0;
        const std::wstring text = Label1->Text();
        return StrToInt(text, number) ? L"Wynik: " + text : text;
    });
    Label1->SetLiveRegion();
    FocusControl(SpeedButton1->Handle());
}

void TForm1::ShowResult(const std::wstring& text) {
    Label1->SetText(text);
    Label1->AnnounceChange();
}

void TForm1::ClearRows() {
    ListView1->Clear();
    m_rows.Clear();
}

bool TForm1::Closing() const { return Application().Terminated(); }

int32_t TForm1::RunOperation(const std::function<int32_t()>& operation) {
    const int32_t result = m_runner->Run(operation);
    ShowNotice();
    return result;
}

void TForm1::ShowNotice() {
    const int32_t notice = std::exchange(m_notice, 0);
    const std::wstring name = ShownName(FileNamePart(std::exchange(m_noticeFile, std::wstring())));
    if (notice == 0 || Closing()) return;
    // Told rather than asked: a volume past the end of the set was never written.
    if (notice == kShortVolume)
        Application().MessageBox(L"Wolumin \u201E" + name +
                                     L"\u201D jest krótszy, niż wymaga zestaw woluminów: archiwum nie może zostać "
                                     L"odczytane.",
                                 MB_OK | MB_ICONERROR);
    else
        Application().MessageBox(L"Archiwum \u201E" + name +
                                     L"\u201D zmieniło się, odkąd je wczytano lub utworzono. Nic nie zostało "
                                     L"odtworzone: wczytaj archiwum ponownie.",
                                 MB_OK | MB_ICONWARNING);
}

void TForm1::ShowFile(const std::wstring& name, uint64_t size) {
    Label1->SetText(ShownName(name));
    ProgressBar2->SetPosition(0);
    ProgressBar2->SetMax(size);
}

void TForm1::ShowTotal(uint64_t total) { ProgressBar1->SetMax(total); }

void TForm1::ShowPositions(uint64_t total, uint64_t file) {
    ProgressBar1->SetPosition(total);
    ProgressBar2->SetPosition(file);
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
    m_runner->FileStarted(Filename, Filesize);
}

void TForm1::SevenZip1Extractfile(TObject*, const std::wstring& Filename, uint64_t Filesize) {
    m_runner->FileStarted(Filename, Filesize);
}

void TForm1::SevenZip1PreProgress(TObject*, uint64_t MaxProgress) {
    if (MaxProgress > 0) m_runner->TotalKnown(MaxProgress);
}

void TForm1::SevenZip1Progress(TObject*, const std::wstring&, uint64_t FilePosArc, uint64_t FilePosFile) {
    m_runner->Positions(FilePosArc, FilePosFile);
}

void TForm1::SevenZip1Message(TObject*, int32_t ErrCode, const std::string&, const std::wstring& Filename) {
    // Errors of the operations are not shown; Label1 tells a failed load or
    // restore. A volume cut short, where the window would otherwise have asked
    // for one, and an archive that is not the one listed are told in a box once
    // the operation is over. Both come from its open, on its own thread.
    if ((ErrCode != kShortVolume && ErrCode != kArchiveChanged) || m_notice != 0) return;
    m_notice = ErrCode;
    m_noticeFile = Filename;
}

void TForm1::SevenZip1ExtractOverwrite(TObject*, const std::wstring&, bool& DoOverwrite) { DoOverwrite = true; }

// The operation's thread waits for the answer; the dialog belongs to the window's.
void TForm1::SevenZip1Password(TObject*, std::wstring& Password, bool& Cancel) {
    Cancel = !m_runner->AskPassword(Password);
}

bool TForm1::AskPassword(std::wstring& password) {
    // Once the program is ending, nobody answers.
    if (Closing()) return false;
    PasswordDialog1->Prompt = L"Hasło do archiwum " + ShownName(FileNamePart(SevenZip1->SZFileName)) + L":";
    const bool answered = PasswordDialog1->Execute(Handle());
    password = PasswordDialog1->Password;
    PasswordDialog1->Password.clear();
    return answered && !Closing();
}

void TForm1::ListView1Data(TObject*, int Row, int Column, std::wstring& Text) {
    if (Row >= 0 && static_cast<size_t>(Row) < m_rows.Count()) Text = RowCell(m_rows.Row(static_cast<size_t>(Row)), Column);
}

LRESULT TForm1::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (m_runner != nullptr && m_runner->HandleMessage(message, lParam, result)) return result;
    switch (message) {
    // The window has no close button; closing it another way (Alt+F4, the
    // taskbar) ends the program as "Koniec" does.
    case WM_CLOSE: SpeedButton3Click(this); return 0;
    }
    return TForm::WindowProc(message, wParam, lParam);
}
