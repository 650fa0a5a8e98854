#pragma once
#include <memory>
#include <optional>
#include <string>

#include "../framework/WinApp.h"
#include "../uninstall/RemovalLog.h"
#include "Registro.h"

class CMainFrame;

class CNorvaneSetupApp : public CWinApp {
public:
    CNorvaneSetupApp();
    ~CNorvaneSetupApp() override;

    BOOL InitInstance() override;
    // Writes the exit code as the removal log's last line.
    int ExitInstance() override;

    // The steps of InitInstance that fill the product context, usable on their own.
    // Mode and product code from the first two arguments; false without a switch.
    static bool ReadCommandLine(int argc, char** argv);
    // Both uninstall key paths, display name and install path; false when the
    // product has no registration.
    bool ReadRegistration();
    // The log, theme and language paths below the given Windows directory.
    static void FormProductPaths(const std::string& windowsDirectory);

    // The mode a switch text selects: tested for "/R", "/I", "/S" in this order,
    // in upper case, the last one found wins; 0 when none is found.
    static int ModeFromSwitchText(const std::string& text);
    // Windows Sockets 1.1 exactly, as start-up requires it.
    static bool StartWindowsSockets();
    // The removal log a "/LOG" or "/LOG=FILE" argument after the product code
    // asks for (case does not matter): FILE, or without one "Norvane CODE.log"
    // in the temporary folder; nothing without such an argument.
    static std::optional<std::string> RemovalLogPath(int argc, char** argv, const std::string& productCode);
    // A "/WHATIF" argument after the product code (case does not matter).
    static bool AsksWhatIf(int argc, char** argv);
    // The product code can name a product: a name for a folder and a key of
    // its own, with no "\", "/", ":", "..", nor a character that no folder
    // name may hold. Any other would lead the per-product folder elsewhere.
    static bool IsProductCodeName(const std::string& code);

private:
    // A silent run shows no box: neither its own, whose text goes to the log,
    // nor the system's for a missing disk, an unreadable file or a crash.
    void KeepSilent();
    // The log goes anywhere but among the uninstall information of products
    // ("Installer" in the Windows directory given, with its backslash).
    void OpenRemovalLog(const std::string& path, const std::string& windowsDirectory);
    BOOL Fail(int exitCode);

    CRegistro m_registro;
    RemovalLog m_log;
    std::unique_ptr<CMainFrame> m_frame;
};
