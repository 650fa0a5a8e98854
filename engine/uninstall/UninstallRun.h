#pragma once
#include <memory>
#include <string>

class CNVEngine;
class CWnd;
class UninstallPage;

// One uninstall from the question to its ending: the question (mode /R only),
// the check for the uninstall log, the removal reporting to the page it is
// given, if any, and the three endings. Its message boxes belong to the owner,
// the hidden main frame.
class CUninstallRun {
public:
    explicit CUninstallRun(const CWnd& owner);
    ~CUninstallRun();
    CUninstallRun(const CUninstallRun&) = delete;
    CUninstallRun& operator=(const CUninstallRun&) = delete;

    // In mode /R asks whether to remove the product; true when the removal may go on.
    bool ConfirmRemoval();
    // Checks for the uninstall log and takes the registered install folder;
    // false, after telling the user and posting the quit message, without a log.
    bool Prepare();
    // The page the run reports to, or none: a run without a page shows only
    // message boxes.
    void UsePage(UninstallPage* page);
    // Runs the removal, waiting for its worker, and ends.
    void Run();
    // The page reported a click on its "IDC_FINISH" control.
    void OnFinishCommand();

private:
    void FinishUninstall();

    const CWnd& m_owner;
    UninstallPage* m_page = nullptr;
    // The registered install folder: a folder chosen on a page later is not
    // the one the removal takes away.
    std::string m_installFolder;
    std::unique_ptr<CNVEngine> m_engine;
};
