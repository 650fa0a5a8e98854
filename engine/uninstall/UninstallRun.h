#pragma once
#include <memory>
#include <string>

class CNVEngine;

// The box of a product whose uninstall information is not there.
inline constexpr char kUninstallInformationNotFound[] =
    "Uninstallation information not found. Norvane can't uninstall this software";
class CWnd;
class RemovalLog;
class UninstallPage;

// One uninstall from the question to its ending: the question (mode /R only),
// the check for the uninstall log, the removal reporting to the page it is
// given, if any, and the three endings, each with its exit code. Its message
// boxes belong to the owner, the hidden main frame; the removal's outcomes go to
// the log it is given.
class CUninstallRun {
public:
    CUninstallRun(const CWnd& owner, RemovalLog& log);
    ~CUninstallRun();
    CUninstallRun(const CUninstallRun&) = delete;
    CUninstallRun& operator=(const CUninstallRun&) = delete;

    // In mode /R asks whether to remove the product; true when the removal may go on.
    bool ConfirmRemoval();
    // True once the user answered No to the question.
    bool Declined() const { return m_declined; }
    // Checks for the uninstall log and takes the registered install folder;
    // false, after telling the user and posting the quit message with
    // ERROR_UNKNOWN_PRODUCT, without a log.
    bool Prepare();
    // The page the run reports to, or none: a run without a page shows only
    // message boxes.
    void UsePage(UninstallPage* page);
    // Runs the removal, waiting for its worker, and ends: with exit code 0 once
    // the removal ran to its end, ERROR_INSTALL_FAILURE when it could not run
    // or its uninstall log could not be read (the registration then stays).
    // While the worker runs the end of the session is held back; a session
    // that ends anyway stops the removal after its current action and ends
    // the program with ERROR_INSTALL_FAILURE, the registration kept.
    void Run();
    // What the system shows for the held session: "Removing NAME…".
    static std::wstring SessionEndReason();
    // The page reported a click on its "IDC_FINISH" control.
    void OnFinishCommand();

private:
    void FinishUninstall();
    void EndWithSession();

    const CWnd& m_owner;
    RemovalLog& m_log;
    UninstallPage* m_page = nullptr;
    bool m_declined = false;
    // The registered install folder: a folder chosen on a page later is not
    // the one the removal takes away.
    std::string m_installFolder;
    std::unique_ptr<CNVEngine> m_engine;
};
