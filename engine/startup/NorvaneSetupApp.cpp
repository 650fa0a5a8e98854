#include "NorvaneSetupApp.h"

#include <winsock2.h>

#include <cstdio>

#include "../framework/FixedText.h"
#include "../framework/FrameWnd.h"
#include "../framework/MessageBox.h"
#include "../product/ProductContext.h"
#include "MainFrame.h"
#include "resource.h"

namespace {
const char kUsage[] =
    "Norvane Uninstaller\r\n\r\nUsage:\r\nnorvexec.exe /R {productcode} to uninstall.\r\n"
    "norvexec.exe /I {productcode} to modify.\r\n\r\nnorvexec.exe /S {productcode} to silent uninstall.";

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
    if (text.find("/R") != std::string::npos) mode = kModeUninstall;
    if (text.find("/I") != std::string::npos) mode = kModeModify;
    if (text.find("/S") != std::string::npos) mode = kModeSilent;
    return mode;
}

bool CNorvaneSetupApp::ReadCommandLine(int argc, char** argv) {
    ProductContext& product = TheProduct();
    product.mode = ModeFromSwitchText(ArgumentText(argc, argv, 1));
    if (product.mode == kModeNone) return false;
    product.productCode = ArgumentText(argc, argv, 2);
    return true;
}

void CNorvaneSetupApp::ReadRegistration() {
    ProductContext& product = TheProduct();
    product.uninstallKey =
        FormatWithCode("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s", product.productCode);
    product.uninstallKey32 = FormatWithCode(
        "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s", product.productCode);
    const std::string key = FitBuffer(product.uninstallKey, 255);
    product.displayName = m_registro.ReadString(key, "DisplayName");
    product.installPath = m_registro.ReadString(key, "LastInstallationPath");
}

std::string CNorvaneSetupApp::WithTrailingBackslash(std::string directory) {
    if (directory.empty() || directory.back() != '\\') directory += '\\';
    return directory;
}

void CNorvaneSetupApp::FormProductPaths(const std::string& windowsDirectory) {
    ProductContext& product = TheProduct();
    product.uninstallLogPath = FormatWithCode("%sInstaller\\%s\\uninstall.log", windowsDirectory, product.productCode);
    product.themeFolder = FormatWithCode("%sInstaller\\%s\\theme\\", windowsDirectory, product.productCode);
    product.languageFilePath = FormatWithCode("%sInstaller\\%s\\language.lan", windowsDirectory, product.productCode);
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
        return FALSE;
    }
    ReadRegistration();

    if (!StartWindowsSockets()) {
        char text[256] = {};
        ::LoadStringA(m_hInstance, IDS_SOCKETS_INIT_FAILED, text, sizeof text);
        AppMessageBox(text, MB_OK);
        return FALSE;
    }

    // 150 characters: a longer Windows directory does not fit and reads as empty.
    char windows[150] = {};
    UINT length = ::GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows) windows[0] = '\0';
    FormProductPaths(WithTrailingBackslash(windows));

    m_frame = std::make_unique<CMainFrame>();
    m_pMainWnd = m_frame.get();
    // Creation runs the frame's OnCreate, which asks, checks and arms the run.
    return m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr);
}
