// TForm1 as designed: the controls with their places and looks, the columns of the
// archive list, the two file dialogs and the archive component's settings.
#include <iterator>

#include "Form1.h"
#include "JpegImage.h"
#include "framework/FormLayout.h"

namespace {
using enum TControlKind;
constexpr TAlignment kLeft = TAlignment::taLeftJustify;
constexpr TAlignment kRight = TAlignment::taRightJustify;

const TFont kTitleFont{L"Arial", 16, clMaroon, EASTEUROPE_CHARSET};
const TFont kMaroonFont{L"Arial", 12, clMaroon, EASTEUROPE_CHARSET};
const TFont kNavyFont{L"Arial", 12, clNavy, EASTEUROPE_CHARSET};
const TFont kListFont{L"Arial", 11, clNavy, EASTEUROPE_CHARSET};
const TFont kParentFont{};

const TControlLayout kLayout[] = {
    // name           kind         parent    left top width height caption                font         colour    align
    {"Label5",        Label,       nullptr,  16,   8, 140, 19,  L"Doziruzidive",          kTitleFont,  clParent, kLeft,  true, -1, nullptr},
    // The status text is right-aligned: it ends at 566 whatever its length.
    {"Label1",        Label,       nullptr,  166, 12, 400, 15,  L"Label1",                kMaroonFont, clParent, kRight, true, -1, nullptr},
    {"Bevel1",        Bevel,       nullptr,  16,  32, 545, 13,  nullptr,                  kParentFont, clParent, kLeft,  true, -1, nullptr},
    {"Label2",        Label,       nullptr,  16,  56, 140, 15,  L"Postęp pliku",          kNavyFont,   clParent, kLeft,  true, -1, nullptr},
    {"ProgressBar2",  ProgressBar, nullptr,  160, 52, 401, 21,  nullptr,                  kParentFont, clParent, kLeft,  true, -1, nullptr},
    {"Label3",        Label,       nullptr,  16,  85, 140, 15,  L"Postęp całości",        kNavyFont,   clParent, kLeft,  true, -1, nullptr},
    {"ProgressBar1",  ProgressBar, nullptr,  160, 80, 401, 21,  nullptr,                  kParentFont, clParent, kLeft,  true, -1, nullptr},
    {"Panel1",        Panel,       nullptr,  604, 12, 137, 93,  nullptr,                  kParentFont, clWhite,  kLeft,  true, -1, nullptr},
    {"Image1",        Image,       "Panel1", 12,   4, 109, 69,  nullptr,                  kParentFont, clParent, kLeft,  true, -1, nullptr},
    {"ListView1",     ListView,    nullptr,  8,  112, 737, 213, nullptr,                  kListFont,   clParent, kLeft,  true, -1, nullptr},
    {"Label4",        Label,       nullptr,  9,  336, 200, 15,  L"Dane do archiwizacji",  kMaroonFont, clParent, kLeft,  true, -1, nullptr},
    {"ListBox1",      ListBox,     nullptr,  12, 352, 393, 105, nullptr,                  kParentFont, clParent, kLeft,  true, -1, nullptr},
    {"SpeedButton1",  SpeedButton, nullptr,  616, 336, 129, 22, L"Archiwizuj",            kMaroonFont, clParent, kLeft,  true, 0, "SpeedButton1Click"},
    {"SpeedButton4",  SpeedButton, nullptr,  616, 360, 129, 22, L"Wczytaj archiwum",      kMaroonFont, clParent, kLeft,  true, 1, "SpeedButton4Click"},
    {"SpeedButton2",  SpeedButton, nullptr,  616, 388, 129, 22, L"Odtwórz archiwum",      kMaroonFont, clParent, kLeft,  true, 2, "SpeedButton2Click"},
    {"SpeedButton3",  SpeedButton, nullptr,  616, 436, 129, 22, L"Koniec",                kMaroonFont, clParent, kLeft,  true, 3, "SpeedButton3Click"},
    {"volsize",       Edit,        nullptr,  0,    0, 0,   0,   L"0",                     kParentFont, clParent, kLeft,  false, -1, nullptr},
    {"Password7z",    Edit,        nullptr,  0,    0, 0,   0,   L"",                      kParentFont, clParent, kLeft,  false, -1, nullptr},
};

struct TDialogLayout {
    const char* Name;
    bool Save;
    const wchar_t* DefaultExt;
    TOpenOptions Options;
};
// Both add ".7z" to a name typed without an extension. Neither moves the current
// folder: an empty restore folder means the folder the program was started in.
const TDialogLayout kDialogs[] = {
    {"SaveDialog1", true, L"7z",
     {TOpenOption::ofOverwritePrompt, TOpenOption::ofHideReadOnly, TOpenOption::ofEnableSizing,
      TOpenOption::ofNoChangeDir}},
    {"OpenDialog2", false, L"7z",
     {TOpenOption::ofOverwritePrompt, TOpenOption::ofHideReadOnly, TOpenOption::ofEnableSizing,
      TOpenOption::ofNoChangeDir}},
};
const wchar_t kArchiveFilter[] = L"Pliki archiwum|*.7z";

std::shared_ptr<TBitmap> LoadLogo() {
    HMODULE program = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(program, L"LOGO", reinterpret_cast<const wchar_t*>(RT_RCDATA));
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(program, resource) : nullptr;
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    TJpegImage image;
    if (data == nullptr || !DecodeJpeg(static_cast<const uint8_t*>(data), ::SizeofResource(program, resource), image))
        return nullptr;
    return TBitmap::FromBgr(image.Width, image.Height, image.Bgr.data(), static_cast<size_t>(image.Width) * 3);
}
}  // namespace

void TForm1::CreateControls() {
    LoadLayout(*this, std::begin(kLayout), std::end(kLayout), TBitmap::FromResource(L"GLYPHS"));
    Label5 = Find<TLabel>("Label5");
    Label1 = Find<TLabel>("Label1");
    Bevel1 = Find<TBevel>("Bevel1");
    Label2 = Find<TLabel>("Label2");
    ProgressBar2 = Find<TProgressBar>("ProgressBar2");
    Label3 = Find<TLabel>("Label3");
    ProgressBar1 = Find<TProgressBar>("ProgressBar1");
    Panel1 = Find<TPanel>("Panel1");
    Image1 = Find<TImage>("Image1");
    ListView1 = Find<TListView>("ListView1");
    Label4 = Find<TLabel>("Label4");
    ListBox1 = Find<TListBox>("ListBox1");
    SpeedButton1 = Find<TSpeedButton>("SpeedButton1");
    SpeedButton4 = Find<TSpeedButton>("SpeedButton4");
    SpeedButton2 = Find<TSpeedButton>("SpeedButton2");
    SpeedButton3 = Find<TSpeedButton>("SpeedButton3");
    volsize = Find<TEdit>("volsize");
    Password7z = Find<TEdit>("Password7z");

    Image1->SetPicture(LoadLogo());
    ListBox1->SetItemHeight(14);
    ListView1->SetMultiSelect(true);
    ListView1->SetRowSelect(true);
    for (const TArchiveColumn& column : kArchiveColumns)
        ListView1->AddColumn(column.Caption, column.Width, column.Alignment);
    WireEvent(ListView1->OnData, "ListView1Data");

    for (const TDialogLayout& layout : kDialogs) {
        TOpenDialog* dialog = layout.Save ? new TSaveDialog(this) : new TOpenDialog(this);
        dialog->Name = layout.Name;
        dialog->Filter = kArchiveFilter;
        dialog->DefaultExt = layout.DefaultExt;
        dialog->Options = layout.Options;
    }
    SaveDialog1 = Find<TSaveDialog>("SaveDialog1");
    OpenDialog2 = Find<TOpenDialog>("OpenDialog2");
    WireEvent(OnCreate, "FormCreate");
}

void TForm1::ConfigureSevenZip1() {
    SevenZip1->Name = "SevenZip1";
    SevenZip1->SetSFXCreate(false);
    SevenZip1->SFXModule = L"7z.sfx";
    SevenZip1->AddOptions = AddOpts{AddOptsEnum::AddRecurseDirs};
    SevenZip1->ExtractOptions = ExtractOpts{};
    SevenZip1->LZMACompressType = TCompressType::LZMA;
    SevenZip1->LZMACompressStrength = TCompressStrength::FAST;
    SevenZip1->LZMAStrength = 0;
    SevenZip1->LPPMDmem = 0;
    SevenZip1->LPPMDsize = 0;
    SevenZip1->NumberOfFiles = -1;
    SevenZip1->SetVolumeSize(0);
    WireEvent(SevenZip1->OnListfile, "SevenZip1Listfile");
    WireEvent(SevenZip1->OnAddfile, "SevenZip1Addfile");
    WireEvent(SevenZip1->OnExtractfile, "SevenZip1Extractfile");
    WireEvent(SevenZip1->OnProgress, "SevenZip1Progress");
    WireEvent(SevenZip1->OnPreProgress, "SevenZip1PreProgress");
    WireEvent(SevenZip1->OnMessage, "SevenZip1Message");
    WireEvent(SevenZip1->OnExtractOverwrite, "SevenZip1ExtractOverwrite");
    WireEvent(SevenZip1->OnPassword, "SevenZip1Password");
    // OnOpenVolume stays unassigned: a missing volume is then asked for in the
    // component's own open dialog, where the user picks it or cancels. OnSetAddName
    // and OnSetExtractName stay unassigned too.
}
