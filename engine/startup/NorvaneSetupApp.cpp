#include "NorvaneSetupApp.h"

#include <winsock2.h>

#include <cstdio>
#include <ctime>

#include "../framework/AnsiPath.h"
#include "../framework/FixedText.h"
#include "../framework/FrameWnd.h"
#include "../framework/MessageBox.h"
#include "../product/ProductContext.h"
#include "../uninstall/CanonicalPath.h"
#include "../uninstall/UninstallRun.h"
#include "MainFrame.h"
#include "resource.h"

namespace {
const char kUsage[] =
    "Norvane Uninstaller\r\n\r\nUsage:\r\nnorvexec.exe /R {productcode} to uninstall.\r\n"
    "norvexec.exe /I {productcode} to modify.\r\n\r\nnorvexec.exe /S {productcode} to silent uninstall.";

constexpr char kLogSwitch[] = "/LOG";
constexpr char kWhatIfSwitch[] = "/WHATIF";
constexpr char kLogRefused[] =
    "The removal log is not written to %s: the uninstall information of products lies there. The removal goes on "
    "without a log.";
constexpr char kLogNotWritten[] = "The removal log cannot be written to %s. The removal goes on without a log.";

// Found anywhere in the text, in upper case only: a lower-case /r is no switch.
bool HasSwitch(const std::string& text, char letter) { return text.find(std::string{'/', letter}) != std::string::npos; }

// What "%s" makes of an argument: a missing one reads "(null)".
std::string ArgumentText(int argc, char** argv, int index) {
    if (index >= argc || argv[index] == nullptr) return "(null)";
    return argv[index];
}

std::string FormatWithCode(const char* format, const std::string& a, const std::string& b = {}) {
    int length = std::snprintf(nullptr, 0, format, a.c_str(), b.c_str());
    std::string text(static_cast<size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, a.c_str(), b.c_str());
    return text;
}
}  // namespace

CNorvaneSetupApp::CNorvaneSetupApp() = default;
CNorvaneSetupApp::~CNorvaneSetupApp() = default;

int CNorvaneSetupApp::ModeFromSwitchText(const std::string& text) {
    int mode = kModeNone;
    if (HasSwitch(text, 'R')) mode = kModeUninstall;
    if (HasSwitch(text, 'I')) mode = kModeModify;
    if (HasSwitch(text, 'S')) mode = kModeSilent;
    return mode;
}

bool CNorvaneSetupApp::ReadCommandLine(int argc, char** argv) {
    ProductContext& product = TheProduct();
    product.mode = ModeFromSwitchText(ArgumentText(argc, argv, 1));
    if (product.mode == kModeNone) return false;
    product.productCode = ArgumentText(argc, argv, 2);
    return true;
}

bool CNorvaneSetupApp::ReadRegistration() {
    ProductContext& product = TheProduct();
    product.uninstallKey =
        FormatWithCode("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s", product.productCode);
    product.uninstallKey32 = FormatWithCode(
        "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s", product.productCode);
    const std::string key = FitBuffer(product.uninstallKey, 255);
    product.displayName = m_registro.ReadString(key, "DisplayName");
    product.installPath = m_registro.ReadString(key, "LastInstallationPath");
    return m_registro.HasKey(key);
}

void CNorvaneSetupApp::FormProductPaths(const std::string& windowsDirectory) {
    ProductContext& product = TheProduct();
    product.uninstallLogPath = FormatWithCode("%sInstaller\\%s\\uninstall.log", windowsDirectory, product.productCode);
    product.themeFolder = FormatWithCode("%sInstaller\\%s\\theme\\", windowsDirectory, product.productCode);
    product.languageFilePath = FormatWithCode("%sInstaller\\%s\\language.lan", windowsDirectory, product.productCode);
}

std::optional<std::string> CNorvaneSetupApp::RemovalLogPath(int argc, char** argv, const std::string& productCode) {
    const size_t switchLength = sizeof kLogSwitch - 1;
    for (int i = 3; i < argc; ++i) {
        const std::string argument = argv[i] != nullptr ? argv[i] : "";
        if (argument.size() < switchLength || ::_strnicmp(argument.c_str(), kLogSwitch, switchLength) != 0) continue;
        if (argument.size() > switchLength && argument[switchLength] != '=') continue;
        std::string path = argument.size() > switchLength ? argument.substr(switchLength + 1) : std::string();
        if (!path.empty()) return path;
        char temp[MAX_PATH + 1] = {};
        const DWORD length = ::GetTempPathA(sizeof temp, temp);
        if (length == 0 || length >= sizeof temp) temp[0] = '\0';
        return std::string(temp) + "Norvane " + productCode + ".log";
    }
    return std::nullopt;
}

bool CNorvaneSetupApp::AsksWhatIf(int argc, char** argv) {
    for (int i = 3; i < argc; ++i)
        if (argv[i] != nullptr && ::_stricmp(argv[i], kWhatIfSwitch) == 0) return true;
    return false;
}

bool CNorvaneSetupApp::IsProductCodeName(const std::string& code) {
    // By characters: in a double-byte code page a backslash's byte may be half of one.
    const std::optional<std::wstring> name = WidenAnsi(code);
    if (!name || name->empty() || name->find(L"..") != std::wstring::npos) return false;
    for (wchar_t c : *name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    // The file system drops trailing dots and blanks: "{code}. " would be "{code}".
    return name->back() != L'.' && name->back() != L' ';
}

void CNorvaneSetupApp::KeepSilent() {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    // Answered as a box that could not be shown: never a Yes.
    SetMessageBoxHandler([this](HWND, const char* text, const char* caption, UINT) {
        m_log.WriteMessage(caption != nullptr ? caption : "", text != nullptr ? text : "");
        return 0;
    });
}

void CNorvaneSetupApp::OpenRemovalLog(const std::string& path, const std::string& windowsDirectory) {
    const ProductContext& product = TheProduct();
    // A log that cannot be written is no reason to leave the product installed.
    // Nor is one that would replace an uninstall log, this product's before it
    // is read, or another's.
    const CanonicalPath log = CanonicalAnyPath(path);
    const CanonicalPath information = CanonicalFullPath(windowsDirectory + "Installer");
    if (log && information && LiesInFolder(log.path, information.path)) {
        AppMessageBox(FormatWithCode(kLogRefused, log.path).c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    if (!log || !m_log.Open(log.path)) {
        AppMessageBox(FormatWithCode(kLogNotWritten, log ? log.path : path).c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    const char* mode = product.mode == kModeSilent ? "/S" : product.mode == kModeModify ? "/I" : "/R";
    const char* trial = product.whatIf ? " /WHATIF, nothing is changed" : "";
    char started[32] = {};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_s(&local, &now) == 0) std::strftime(started, sizeof started, "%Y-%m-%d %H:%M:%S", &local);
    m_log.Write(std::string("norvexec ") + mode + " " + product.productCode + " (" + product.displayName +
                ")" + trial + ", started " + started);
}

BOOL CNorvaneSetupApp::Fail(int exitCode) {
    m_exitCode = exitCode;
    return FALSE;
}

int CNorvaneSetupApp::ExitInstance() {
    m_log.Write("exit code " + std::to_string(m_exitCode));
    return m_exitCode;
}

bool CNorvaneSetupApp::StartWindowsSockets() {
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) return false;
    if (data.wVersion != MAKEWORD(1, 1)) {
        ::WSACleanup();
        return false;
    }
    return true;
}

BOOL CNorvaneSetupApp::InitInstance() {
    EnableControlContainer();
    if (!ReadCommandLine(__argc, __argv)) {
        AppMessageBox(kUsage, MB_OK);
        return Fail(ERROR_INVALID_COMMAND_LINE);
    }
    ProductContext& product = TheProduct();
    if (product.mode == kModeSilent) KeepSilent();
    product.whatIf = AsksWhatIf(__argc, __argv);
    // A code that is no name is no product: nothing of it is read, nothing run.
    const bool named = IsProductCodeName(product.productCode);
    const bool registered = named && ReadRegistration();

    // 150 characters: a longer Windows directory does not fit and reads as empty.
    char windows[150] = {};
    UINT length = ::GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) windows[0] = '\0';
    const std::string windowsDirectory = WithTrailingBackslash(windows);
    if (named) FormProductPaths(windowsDirectory);

    if (std::optional<std::string> logPath =
            RemovalLogPath(__argc, __argv, named ? product.productCode : std::string("unknown product")))
        OpenRemovalLog(*logPath, windowsDirectory);
    // Asking whether to remove a product without a name, which then removes nothing.
    if (!named || (product.mode == kModeUninstall && !registered)) {
        AppMessageBox(nullptr, kUninstallInformationNotFound, "Norvane", MB_OK | MB_ICONINFORMATION);
        return Fail(ERROR_UNKNOWN_PRODUCT);
    }

    if (!StartWindowsSockets()) {
        char text[256] = {};
        ::LoadStringA(m_hInstance, IDS_SOCKETS_INIT_FAILED, text, sizeof text);
        AppMessageBox(text, MB_OK);
        return Fail(ERROR_INSTALL_FAILURE);
    }

    m_frame = std::make_unique<CMainFrame>(m_log);
    m_pMainWnd = m_frame.get();
    // Creation runs the frame's OnCreate, which asks, checks and arms the run.
    if (m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) return TRUE;
    return Fail(m_frame->RemovalDeclined() ? ERROR_INSTALL_USEREXIT : ERROR_INSTALL_FAILURE);
}
