#pragma once
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../framework/Wnd.h"
#include "FolderRemoval.h"
#include "HeldFolder.h"
#include "RemovalGuard.h"
#include "UninstallLogRecord.h"

class CWinThread;
class RemovalLog;
class UninstallPage;

// Carries out one product's uninstall log: every record as it is read, then the
// closing actions. Each action is a single silent attempt; a failure never stops
// the run. Given a removal log, it writes each action's outcome there. A window
// class by heritage that never gets a window; it lives on the removal worker
// thread for the length of the run.
class CNVEngine : public CWnd {
public:
    static constexpr int kMaxFolders = 999;
    // The information line while the files go.
    static constexpr char kRemovingFilesText[] = "Removing Files...";

    // The install folder that REMOVEALL takes is the product's as it stands now,
    // or the one given: a page may change the product's while the worker runs.
    explicit CNVEngine(UninstallPage* page);
    CNVEngine(UninstallPage* page, std::string installFolder, RemovalLog& log);
    ~CNVEngine() override;

    // Starts the worker on Run and waits for it, pumping messages. False when the
    // worker cannot be started or the wait fails: the run's outcome is unknown.
    bool StartRemoval();
    // The removal pass; returns 0.
    int Run();
    // The uninstall log could not be read: nothing was removed after the failure,
    // neither the folders nor the registration.
    bool LogUnreadable() const { return m_logUnreadable; }
    // For the end of the session, on the interface thread while StartRemoval
    // waits: the worker stops after its current action, says so in the log and
    // removes nothing more (no folder, no registration); returns once it has ended.
    void StopAtSessionEnd();
    // The worker stopped short for it.
    bool StoppedAtSessionEnd() const { return m_stopped; }
    // The worker has ended and ran the log to its end: not stopped, the log
    // read, no exception.
    bool RanToItsEnd() const;

    void ApplyRecord(const UninstallLogRecord& record);
    // Closing actions, in the order Run calls them.
    void RemoveFolders();
    void RemoveInstallFolder();
    void DeleteRegistration();
    void CleanUpSpecialProduct();

private:
    // False once the session's end asked the worker to stop, which it then logs once.
    bool GoesOn();
    void RemoveFile(const std::string& kind, const std::string& path);
    void RememberFolder(const std::string& path);
    void DeleteService(const std::string& name);
    bool ReadLog();
    void WriteRemoval(std::string_view kind, std::string_view subject, const RemovalOutcome& outcome);
    void RunCompanion();
    void DeleteRegistryValue(const std::string& value);
    void RunProgram(const std::string& fullPath);
    void CallLibrary(const std::string& fullPath);
    void ReportCompanion(const RemovalOutcome& outcome);

    // Page output: only in a run with a page.
    bool HasPage() const;
    void ShowStatusText(const std::string& text);
    void SetProgressRange(int total);
    void SetProgressPosition(int position);

    UninstallPage* m_page;
    const std::string m_installFolder;
    RemovalLog& m_log;
    // A trial (/WHATIF): every action says what it would do, and nothing changes.
    const bool m_trial;
    // What every action asks, read at the start of the run.
    std::unique_ptr<RemovalGuard> m_guard;
    bool m_logUnreadable = false;
    std::unique_ptr<CWinThread> m_worker;
    std::atomic<bool> m_stopAsked = false;
    bool m_stopped = false;
    std::vector<std::string> m_folders;
    // The folder of the files being removed, held from one file to the next
    // while nothing else acts.
    std::optional<HeldFolder> m_heldFolder;
    // The last action was no file's: the next one looks at the registry itself.
    bool m_othersActed = true;
    int m_folderCount = 0;
    int m_totalFiles = 0;
    int m_removedFiles = 0;
    std::string m_companionTarget;
    std::string m_companionCommand;
    int m_removeAllFlag = 0;
};
