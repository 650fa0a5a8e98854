#pragma once
#include <memory>
#include <string>

#include "../framework/WinApp.h"
#include "Registro.h"

class CMainFrame;

class CNorvaneSetupApp : public CWinApp {
public:
    CNorvaneSetupApp();
    ~CNorvaneSetupApp() override;

    BOOL InitInstance() override;

    // The steps of InitInstance that fill the product context, usable on their own.
    // Mode and product code from the first two arguments; false without a switch.
    static bool ReadCommandLine(int argc, char** argv);
    // Both uninstall key paths, display name and install path.
    void ReadRegistration();
    // The log, theme and language paths below the given Windows directory.
    static void FormProductPaths(const std::string& windowsDirectory);

    // The mode a switch text selects: tested for "/R", "/I", "/S" in this order,
    // the last one found wins; 0 when none is found.
    static int ModeFromSwitchText(const std::string& text);
    static std::string WithTrailingBackslash(std::string directory);
    // Windows Sockets 1.1 exactly, as start-up requires it.
    static bool StartWindowsSockets();

private:
    CRegistro m_registro;
    std::unique_ptr<CMainFrame> m_frame;
};
