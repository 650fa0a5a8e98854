#include "NVEngine.h"

#include <shellapi.h>

#include <cstring>
#include <utility>

#include "../framework/AnsiPath.h"
#include "../framework/ComApartment.h"
#include "../framework/FileStatus.h"
#include "../framework/FixedText.h"
#include "../framework/LibraryLoading.h"
#include "../framework/RegKey.h"
#include "../framework/ScHandle.h"
#include "../framework/Trace.h"
#include "../framework/WaitPumping.h"
#include "../framework/WinThread.h"
#include "../product/LanguageText.h"
#include "../product/ProductContext.h"
#include "../product/UninstallPage.h"
#include "CanonicalPath.h"
#include "FileRemoval.h"
#include "RegistryValuePath.h"
#include "RemovalLog.h"
#include "UninstallLogReader.h"

namespace {
constexpr char kSpecialProductKey[] = "Software\\Brellix";
constexpr char kSpecialProductSubkey[] = "Pelmora Studio";
constexpr char kSpecialProductFolder[] = "C:\\Program Files\\Pelmora Studio";
constexpr char kSpecialProduct[] = "special product";
constexpr char kRegistration[] = "registration";
constexpr char kUninstallLog[] = "uninstall log";

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// A log never opened: it writes nothing.
RemovalLog& NoLog() {
    static RemovalLog log;
    return log;
}

UINT RemovalWorker(void* parameter) {
    {
        // Opening a link goes through the shell, which wants COM on the calling thread.
        ComApartment com;
        static_cast<CNVEngine*>(parameter)->Run();
    }
    Trace("StartCopyNowTH RETURN");
    return 1;
}

// The folder of the language file: the per-product folder.
std::string ProductFolder() {
    const std::string& language = TheProduct().languageFilePath;
    const CanonicalPath folder =
        CanonicalFullPath(language.substr(0, language.size() - LastPathComponent(language).size()));
    return folder.path;
}
}  // namespace

CNVEngine::CNVEngine(UninstallPage* page) : CNVEngine(page, TheProduct().installPath, NoLog()) {}

CNVEngine::CNVEngine(UninstallPage* page, std::string installFolder, RemovalLog& log)
    : m_page(page),
      m_installFolder(std::move(installFolder)),
      m_log(log) {
    m_folders.reserve(kMaxFolders);
}

CNVEngine::~CNVEngine() = default;

bool CNVEngine::StartRemoval() {
    Trace("StartCopyNow 1");
    m_worker = CWinThread::Begin(RemovalWorker, this);
    Trace("StartCopyNow 2");
    const bool waited = m_worker && WaitPumping(m_worker->m_hThread);
    Trace("StartCopyNow 3");
    // A worker that an exception ended was reported; how far it got, nobody knows.
    DWORD exitCode = 0;
    return waited && ::GetExitCodeThread(m_worker->m_hThread, &exitCode) && exitCode != CWinThread::kEndedByException;
}

void CNVEngine::StopAtSessionEnd() {
    m_stopAsked = true;
    // The worker's reports to the page are sent to this thread: they must get through.
    if (m_worker) WaitTakingSentMessages(m_worker->m_hThread);
}

bool CNVEngine::RanToItsEnd() const {
    DWORD exitCode = STILL_ACTIVE;
    return m_worker && ::GetExitCodeThread(m_worker->m_hThread, &exitCode) && exitCode != STILL_ACTIVE &&
           exitCode != CWinThread::kEndedByException && !m_stopped && !m_logUnreadable;
}

bool CNVEngine::GoesOn() {
    if (!m_stopAsked || m_stopped) return !m_stopped;
    m_stopped = true;
    m_log.Write("interrupted by the end of the session, nothing more removed");
    return false;
}

int CNVEngine::Run() {
    m_removedFiles = 0;
    m_folderCount = 0;
    m_folders.clear();
    ShowStatusText(kRemovingFilesText);
    // Before the first line: no line can change what it protects.
    m_guard = std::make_unique<RemovalGuard>(TheProduct().productCode, m_installFolder, ProductFolder());
    if (!ReadLog() || !GoesOn()) return 0;
    RemoveFolders();
    if (!GoesOn()) return 0;
    RemoveInstallFolder();
    if (!GoesOn()) return 0;
    DeleteRegistration();
    ShowStatusText(ReadLanguageText("SetupProgress", "10"));
    SetProgressPosition(m_totalFiles);
    if (!GoesOn()) return 0;
    CleanUpSpecialProduct();
    if (HasPage()) m_page->EnableCancel();
    return 0;
}

bool CNVEngine::ReadLog() {
    const std::string& path = TheProduct().uninstallLogPath;
    const LogReadResult read = ReadUninstallLog(path, [this](const UninstallLogRecord& record) { ApplyRecord(record); });
    switch (read.reading) {
    case LogReading::kRead: return true;
    case LogReading::kEmpty: m_log.WriteAction(kUninstallLog, path, "empty, nothing to remove"); return true;
    case LogReading::kNotOpened: m_log.WriteAction(kUninstallLog, path, "not read", read.error); break;
    case LogReading::kFolder: m_log.WriteAction(kUninstallLog, path, "not read: a folder, not a file"); break;
    case LogReading::kNoKnownLine:
        m_log.WriteAction(kUninstallLog, path, "not read: not one line of a kind the engine knows");
        break;
    case LogReading::kReadFailed:
        m_log.WriteAction(kUninstallLog, path, "read stopped part of the way, nothing more removed", read.error);
        break;
    }
    m_logUnreadable = true;
    return false;
}

void CNVEngine::WriteRemoval(std::string_view kind, const std::string& subject, const RemovalOutcome& outcome) {
    if (!outcome.text.empty())
        m_log.WriteAction(kind, subject, outcome.text, outcome.error);
    else
        m_log.WriteOutcome(kind, subject, outcome.error);
}

void CNVEngine::ApplyRecord(const UninstallLogRecord& record) {
    if (!GoesOn()) return;
    const std::string& kind = record.kind;
    if (kind == LogKind::kTotalFile) {
        m_removedFiles = 0;
        m_totalFiles = LogValueAsInteger(record.value);
        SetProgressRange(m_totalFiles);
        m_log.WriteAction(kind, std::to_string(m_totalFiles), "files to remove");
        return;
    }
    if (kind == LogKind::kFile || kind == LogKind::kShortcut) {
        RemoveFile(kind, record.value);
    } else if (kind == LogKind::kDir) {
        RememberFolder(record.value);
    } else if (kind == LogKind::kNtService) {
        DeleteService(record.value);
    } else if (kind == LogKind::kRun3rd) {
        m_companionTarget = record.value;
    } else if (kind == LogKind::kRun3rdCmd) {
        m_companionCommand = record.value;
        RunCompanion();
    } else if (kind == LogKind::kRemoveAll) {
        m_removeAllFlag = kFlagSet;
    } else if (kind == LogKind::kRegVal) {
        DeleteRegistryValue(record.value);
    }
}

void CNVEngine::RemoveFile(const std::string& kind, const std::string& value) {
    const CanonicalPath file = CanonicalFullPath(value);
    const RemovalOutcome outcome = file ? RemoveOneFile(*m_guard, file.path) : RemovalOutcome{file.refusal};
    // A refused line counts as done, as a file not there does.
    SetProgressPosition(m_removedFiles);
    ++m_removedFiles;
    WriteRemoval(kind, file ? file.path : value, outcome);
}

void CNVEngine::RememberFolder(const std::string& path) {
    if (m_folderCount >= kMaxFolders) {
        m_log.WriteAction(LogKind::kDir, path, "ignored, past the 999th folder");
        return;
    }
    m_folders.push_back(path);
    ++m_folderCount;
}

void CNVEngine::DeleteService(const std::string& name) {
    DWORD error = ERROR_SUCCESS;
    ScHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        error = ::GetLastError();
    } else if (const std::string refusal = m_guard->ServiceRefusal(manager, name); !refusal.empty()) {
        m_log.WriteAction(LogKind::kNtService, name, refusal);
        return;
    } else {
        ScHandle service(::OpenServiceA(manager, name.c_str(), DELETE));
        // Not stopped first: a running service goes when it stops.
        if (!service || !::DeleteService(service)) error = ::GetLastError();
    }
    m_log.WriteOutcome(LogKind::kNtService, name, error, "marked for deletion");
}

void CNVEngine::RunCompanion() {
    if (Contains(m_companionTarget, "http://")) {
        // No box of the shell's own when nothing opens the link: the action's
        // failure is silent, and a silent run has nobody to answer it. The
        // worker has no message loop: the shell finishes before it returns.
        SHELLEXECUTEINFOA link{};
        link.cbSize = sizeof link;
        link.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        link.lpFile = m_companionTarget.c_str();
        link.nShow = SW_SHOWDEFAULT;
        const bool opened = ::ShellExecuteExA(&link) != FALSE;
        ReportCompanion("link " + m_companionTarget + (opened ? " opened" : " not opened"),
                        opened ? ERROR_SUCCESS : ::GetLastError());
        return;
    }
    // The target names a file in the per-product folder, the folder of the language
    // file. It stays as the log gave it, so that a further command line joins it
    // again instead of joining the joined path.
    const std::string joined = ReplaceAll(TheProduct().languageFilePath + "\\" + m_companionTarget, "language.lan\\", "");
    const CanonicalPath target = CanonicalFullPath(joined);
    if (!target) {
        ReportCompanion(std::string(target.refusal) + ": " + joined);
        return;
    }
    const std::string& fullPath = target.path;
    if (const std::string refusal = m_guard->CompanionRefusal(fullPath); !refusal.empty()) {
        ReportCompanion(refusal);
        return;
    }
    if (!HasFileStatus(fullPath)) {
        ReportCompanion(fullPath + " not there");
        return;
    }
    if (Contains(fullPath, ".dll") || Contains(fullPath, ".DLL"))
        CallLibrary(fullPath);
    else
        RunProgram(fullPath);
}

// Both texts pass through 256-byte buffers: longer ones are cut at 255 characters.
void CNVEngine::CallLibrary(const std::string& fullPath) {
    DWORD error = ERROR_SUCCESS;
    std::string outcome = "library " + fullPath + " called";
    if (HMODULE library = LoadLibraryWithItsFolder(fullPath)) {
        using EntryPoint = void(WINAPI*)(char* path);
        auto entry = reinterpret_cast<EntryPoint>(::GetProcAddress(library, m_companionCommand.c_str()));
        if (entry != nullptr) {
            char argument[256] = {};
            std::string fitted = FitBuffer(fullPath, sizeof argument);
            std::memcpy(argument, fitted.data(), fitted.size());
            entry(argument);
        } else {
            error = ::GetLastError();
            outcome = "library " + fullPath + " has no such function";
        }
        ::FreeLibrary(library);
    } else {
        error = ::GetLastError();
        outcome = "library " + fullPath + " not loaded";
    }
    ReportCompanion(outcome, error);
}

void CNVEngine::RunProgram(const std::string& fullPath) {
    char application[256] = {};
    char commandLine[256] = {};
    std::string fittedPath = FitBuffer(fullPath, sizeof application);
    std::string fittedCommand = FitBuffer(m_companionCommand, sizeof commandLine);
    std::memcpy(application, fittedPath.data(), fittedPath.size());
    std::memcpy(commandLine, fittedCommand.data(), fittedCommand.size());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD error = ERROR_SUCCESS;
    if (::CreateProcessA(application, fittedCommand.empty() ? nullptr : commandLine, nullptr, nullptr, TRUE,
                         DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    } else {
        error = ::GetLastError();
    }
    ReportCompanion("program " + fullPath + (error == ERROR_SUCCESS ? " started" : " not started"), error);
}

void CNVEngine::ReportCompanion(const std::string& outcome, DWORD error) {
    m_log.WriteAction(LogKind::kRun3rdCmd, m_companionCommand, outcome, error);
}

void CNVEngine::DeleteRegistryValue(const std::string& value) {
    RegistryValuePath path = SplitRegistryValue(value);
    if (path.root == nullptr) {
        m_log.WriteAction(LogKind::kRegVal, value, "ignored, no root key named");
        return;
    }
    const std::string acted = RegistryValueText(path);
    RegKey key;
    LONG result = ::RegOpenKeyExA(path.root, path.subkey.c_str(), 0, KEY_SET_VALUE | KEY_QUERY_VALUE, key.Receive());
    if (result == ERROR_SUCCESS) {
        const std::string refusal = m_guard->RegistryValueRefusal(key, path.root, path.subkey, path.valueName);
        if (!refusal.empty()) {
            m_log.WriteAction(LogKind::kRegVal, acted, refusal);
            return;
        }
        result = ::RegDeleteValueA(key, path.valueName.c_str());
    }
    m_log.WriteOutcome(LogKind::kRegVal, acted, static_cast<DWORD>(result));
}

void CNVEngine::RemoveFolders() {
    // Log order, no recursion: an inner folder listed before its parent lets both go.
    for (int i = 0; i < m_folderCount && GoesOn(); ++i) {
        const CanonicalPath folder = CanonicalFullPath(m_folders[i]);
        if (!folder)
            m_log.WriteAction(LogKind::kDir, m_folders[i], folder.refusal);
        else
            WriteRemoval(LogKind::kDir, folder.path, RemoveFolder(*m_guard, folder.path, FolderAction::kEmptyFolder));
    }
}

void CNVEngine::RemoveInstallFolder() {
    if (m_removeAllFlag != kFlagSet) return;
    const CanonicalPath folder = CanonicalFullPath(m_installFolder);
    if (!folder)
        m_log.WriteAction(LogKind::kRemoveAll, m_installFolder, folder.refusal);
    else
        WriteRemoval(LogKind::kRemoveAll, folder.path, RemoveFolder(*m_guard, folder.path, FolderAction::kInstallFolder));
}

void CNVEngine::DeleteRegistration() {
    const ProductContext& product = TheProduct();
    for (const std::string& key : {product.uninstallKey, product.uninstallKey32}) {
        const std::string fitted = FitBuffer(key, 255);
        const LONG result = ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, fitted.c_str());
        m_log.WriteOutcome(kRegistration, "HKEY_LOCAL_MACHINE\\" + fitted, static_cast<DWORD>(result));
    }
}

void CNVEngine::CleanUpSpecialProduct() {
    if (TheProduct().companionSeenFlag != kFlagSet) return;
    const std::string subkey = std::string(kSpecialProductKey) + "\\" + kSpecialProductSubkey;
    const std::string named = "HKEY_CURRENT_USER\\" + subkey;
    RegKey product;
    const char* refusal = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, product.Receive()) == ERROR_SUCCESS)
        refusal = m_guard->RegistryKeyRefusal(product, HKEY_CURRENT_USER, subkey);
    product.Close();
    if (refusal != nullptr) {
        m_log.WriteAction(kSpecialProduct, named, refusal);
    } else {
        RegKey key;
        LONG result = ::RegOpenKeyExA(HKEY_CURRENT_USER, kSpecialProductKey, 0, KEY_SET_VALUE, key.Receive());
        if (result == ERROR_SUCCESS) result = ::RegDeleteKeyA(key, kSpecialProductSubkey);
        m_log.WriteOutcome(kSpecialProduct, named, static_cast<DWORD>(result));
    }
    if (!HasFileStatus(kSpecialProductFolder)) return;
    // The folder's name is a canonical path as it stands.
    WriteRemoval(kSpecialProduct, kSpecialProductFolder,
                 RemoveFolder(*m_guard, kSpecialProductFolder, FolderAction::kSpecialProductFolder));
}

bool CNVEngine::HasPage() const { return m_page != nullptr && TheProduct().RunHasPage(); }

void CNVEngine::ShowStatusText(const std::string& text) {
    if (HasPage()) m_page->ShowStatusText(text, UninstallPage::kInfoText);
}

void CNVEngine::SetProgressRange(int total) {
    if (HasPage()) m_page->SetProgressRange(total);
}

void CNVEngine::SetProgressPosition(int position) {
    if (HasPage()) m_page->SetProgressPosition(position);
}
