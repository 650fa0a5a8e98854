// The window in this process, for what another process cannot read: fonts,
// colours as the controls ask for them, the cursor, the logo, message 9999.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "TestPaths.h"
#include "support/ArchiveTestSupport.h"
#include "window/Form1.h"
#include "framework/Application.h"
#include "framework/HighContrast.h"
#include "window/JpegImage.h"

namespace {
class FormInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ::GetCurrentDirectoryW(MAX_PATH, m_previous);
        const std::wstring folder = ArchiveTest::FreshFolder(L"window-in-process");
        ASSERT_TRUE(ArchiveTest::WriteFile(folder + L"\\doziruzidive_config.dat", std::string(10452, '\0')));
        ::SetCurrentDirectoryW(folder.c_str());
        form = std::make_unique<TForm1>(nullptr);
    }
    void TearDown() override {
        form.reset();
        ::SetCurrentDirectoryW(m_previous);
    }

    static LOGFONTW FontOf(const TWinControl* control) {
        LOGFONTW font{};
        HFONT handle = reinterpret_cast<HFONT>(::SendMessageW(control->Handle(), WM_GETFONT, 0, 0));
        ::GetObjectW(handle, sizeof font, &font);
        return font;
    }
    // The colours a static control is given for its text and background.
    std::pair<COLORREF, COLORREF> StaticColours(const TWinControl* control) {
        HDC dc = ::CreateCompatibleDC(nullptr);
        ::SendMessageW(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(control->Handle()));
        std::pair<COLORREF, COLORREF> colours{::GetTextColor(dc), ::GetBkColor(dc)};
        ::DeleteDC(dc);
        return colours;
    }

    std::unique_ptr<TForm1> form;

private:
    wchar_t m_previous[MAX_PATH] = {};
};
}  // namespace

namespace {
bool ContrastOn() { return true; }
}  // namespace

TEST_F(FormInProcess, FontsAndColoursAreTheSkinsOrInHighContrastTheSystems) {
    struct Expected {
        const TWinControl* control;
        LONG height;
    };
    for (const Expected& want : {Expected{form->Label5, -16}, Expected{form->Label1, -12}, Expected{form->Label2, -12},
                                 Expected{form->Label4, -12}, Expected{form->ListView1, -11},
                                 Expected{form->SpeedButton3, -12}}) {
        LOGFONTW font = FontOf(want.control);
        EXPECT_STREQ(font.lfFaceName, L"Arial") << want.control->Name;
        EXPECT_EQ(font.lfHeight, want.height) << want.control->Name;
        EXPECT_EQ(font.lfCharSet, EASTEUROPE_CHARSET) << want.control->Name;
    }
    LOGFONTW listBox = FontOf(form->ListBox1);  // the form's: MS Sans Serif, 8 points
    EXPECT_STREQ(listBox.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(listBox.lfHeight, -11);

    const COLORREF grey = RGB(243, 243, 243), maroon = RGB(128, 0, 0), navy = RGB(0, 0, 128);
    EXPECT_EQ(StaticColours(form->Label5), std::make_pair(maroon, grey));
    EXPECT_EQ(StaticColours(form->Label1), std::make_pair(maroon, grey));
    EXPECT_EQ(StaticColours(form->Label2), std::make_pair(navy, grey));
    EXPECT_EQ(StaticColours(form->Label3), std::make_pair(navy, grey));
    EXPECT_EQ(StaticColours(form->Label4), std::make_pair(maroon, grey));
    EXPECT_EQ(form->Panel1->Color(), RGB(255, 255, 255));
    auto listColours = [this] {
        HWND list = form->ListView1->Handle();
        return std::make_pair(static_cast<COLORREF>(::SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)),
                              static_cast<COLORREF>(::SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0)));
    };
    const auto skin = listColours();
    EXPECT_EQ(skin.first, navy);
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT), window = ::GetSysColor(COLOR_WINDOW);
    SetHighContrastQuery(ContrastOn);
    ::SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(listColours(), std::make_pair(text, window));
    EXPECT_EQ(StaticColours(form->Label4), std::make_pair(text, window));
    SetHighContrastQuery(nullptr);
    ::SendMessageW(form->Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(listColours(), skin);
    EXPECT_EQ(StaticColours(form->Label4), std::make_pair(maroon, grey));
}

namespace {
// The annotation service's calls as it would get them (Wine refuses them all).
class RecordingSink : public TAnnotationSink {
public:
    std::map<HWND, std::function<std::wstring()>> names;
    std::map<HWND, long> live;
    HRESULT SetName(HWND hwnd, std::function<std::wstring()> name) override {
        names[hwnd] = std::move(name);
        return E_NOTIMPL;
    }
    HRESULT SetLiveSetting(HWND hwnd, long setting) override {
        live[hwnd] = setting;
        return E_NOTIMPL;
    }
    void Clear(HWND) override {}
};

class FormAnnotated : public FormInProcess {
protected:
    void SetUp() override {
        SetAnnotationSink(&sink);
        FormInProcess::SetUp();
    }
    void TearDown() override {
        FormInProcess::TearDown();
        SetAnnotationSink(nullptr);
    }
    std::wstring NameOf(const TWinControl* control) {
        auto found = sink.names.find(control->Handle());
        return found != sink.names.end() ? found->second() : L"(none)";
    }
    RecordingSink sink;
};
}  // namespace

TEST_F(FormAnnotated, TheServiceIsToldTheNamesAndThatTheResultIsPolitelyLive) {
    // The window, its lists and bars and the result; the buttons say their captions.
    EXPECT_EQ(sink.names.size(), 6u);
    EXPECT_EQ(NameOf(form.get()), L"Doziruzidive");
    // The result as a number reads with its meaning; a file name shown meanwhile as it is.
    EXPECT_EQ(NameOf(form->Label1), L"Wynik: 0");
    form->Label1->SetText(L"-1");
    EXPECT_EQ(NameOf(form->Label1), L"Wynik: -1");
    form->Label1->SetText(L"C:\\dane\\a.txt");
    EXPECT_EQ(NameOf(form->Label1), L"C:\\dane\\a.txt");
    EXPECT_EQ(sink.live, (std::map<HWND, long>{{form->Label1->Handle(), 1}}));
}

TEST_F(FormInProcess, ButtonsShowTheHandAndTheLogoIsDecodedFromTheResources) {
    ::SendMessageW(form->SpeedButton1->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->SpeedButton1->Handle()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_HAND)));
    ASSERT_NE(form->Image1->Picture(), nullptr);
    EXPECT_EQ(form->Image1->Picture()->Width(), 218);
    EXPECT_EQ(form->Image1->Picture()->Height(), 138);
    EXPECT_EQ(form->Label1->Text(), L"0");  // the settings file was read
}

TEST_F(FormInProcess, OnlyTextsTheWindowHandedOverAreReleased) {
    TOperationRunner& runner = form->Runner();
    ASSERT_TRUE(runner.HandOverText(L"przekazany tekst"));
    ASSERT_TRUE(runner.HandOverText(L"drugi"));
    EXPECT_EQ(runner.TextsHandedOver(), 2u);
    wchar_t* foreign = new wchar_t[4]{L'a', L'b', L'c', L'\0'};
    ::PostMessageW(form->Handle(), kTakeTextMessage, 0, reinterpret_cast<LPARAM>(foreign));
    ::PostMessageW(form->Handle(), kTakeTextMessage, 0, 0x1234);
    Application().ProcessMessages();
    EXPECT_EQ(runner.TextsHandedOver(), 0u);
    EXPECT_STREQ(foreign, L"abc");  // still ours, untouched
    delete[] foreign;

    // A flood: each message lets the others run, but never inside one another.
    for (int i = 0; i < 10000; ++i) ASSERT_TRUE(runner.HandOverText(L"powódź"));
    Application().ProcessMessages();
    EXPECT_EQ(runner.TextsHandedOver(), 0u);
    EXPECT_EQ(::SendMessageW(form->Handle(), WM_NULL, 0, 0), 0);
}

// An operation runs on a thread of its own; what its events show reaches the
// window on the window's thread, in order and named as written, and what it throws
// is thrown here. A password question the operation did not ask is none.
TEST_F(FormInProcess, TheRunnerShowsItsOperationsStepsOnTheWindowsThread) {
    TOperationRunner& runner = form->Runner();
    DWORD operationThread = ::GetCurrentThreadId();
    EXPECT_EQ(runner.Run([&] {
        operationThread = ::GetCurrentThreadId();
        runner.TotalKnown(1000);
        runner.FileStarted(L"dir\\invoice\u202Etxt.exe", 400);
        runner.Positions(300, 200);
        return 7;
    }), 7);
    EXPECT_NE(operationThread, ::GetCurrentThreadId());
    EXPECT_EQ(form->Label1->Text(), L"dir\\invoice<U+202E>txt.exe");
    EXPECT_EQ(::SendMessageW(form->ProgressBar1->Handle(), PBM_GETRANGE, FALSE, 0), 1000);
    EXPECT_EQ(::SendMessageW(form->ProgressBar1->Handle(), PBM_GETPOS, 0, 0), 300);
    EXPECT_EQ(::SendMessageW(form->ProgressBar2->Handle(), PBM_GETRANGE, FALSE, 0), 400);
    EXPECT_EQ(::SendMessageW(form->ProgressBar2->Handle(), PBM_GETPOS, 0, 0), 200);
    EXPECT_THROW(runner.Run([]() -> int32_t { throw std::runtime_error("failed"); }), std::runtime_error);
    EXPECT_EQ(::SendMessageW(form->Handle(), kAskPasswordMessage, 0, 0), 0);
}

TEST_F(FormInProcess, BarsKeepTheProportionOfSizesBeyondThirtyTwoBits) {
    HWND bar = form->ProgressBar1->Handle();
    form->ProgressBar1->SetMax(5ull << 30);  // 5 GiB
    form->ProgressBar1->SetPosition(5ull << 29);
    const LRESULT max = ::SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
    EXPECT_GT(max, 0);
    EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), max / 2);
    form->ProgressBar1->SetMax(1000);
    form->ProgressBar1->SetPosition(250);
    EXPECT_EQ(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 1000);
    EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), 250);
}

TEST(JpegImage, DamagedDataIsRefusedWithoutEndingTheProgram) {
    const std::string logo = ArchiveTest::ReadFile(ArchiveTest::Widen(NORVANE_SOURCE_DIR) + L"\\archiver\\window\\artwork\\logo.jpg");
    auto decode = [](const std::string& bytes, TJpegImage& image) {
        return DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image);
    };
    std::string header = logo;
    header[1] = 0;  // no start-of-image marker
    TJpegImage image;
    for (const std::string& bytes : {std::string(), std::string("not a picture at all"), logo.substr(0, 100), header})
        EXPECT_FALSE(decode(bytes, image));
    EXPECT_EQ(image.Width, 0);
    // Cut in the middle of the picture data: libjpeg fills in what is missing.
    EXPECT_TRUE(decode(logo.substr(0, logo.size() / 2), image));
    EXPECT_EQ(image.Width, 218);
}
