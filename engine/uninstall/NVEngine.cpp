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
bool HoldsNul(const std::string& text) { return text.find('\0') != std::string::npos; }

using NtDeleteKeyFunction = LONG(NTAPI*)(HANDLE key);

// The key itself, a link among keys included, never what it leads to: a link
// goes as the link (RegDeleteKey would follow it and take the key it leads
// to). A trial opens it and says what would become of it.
RemovalOutcome DeleteKeyItself(HKEY root, const std::string& subkey, bool trial) {
    RegKey key;
    const LONG opened = ::RegOpenKeyExA(root, subkey.c_str(), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | DELETE, key.Receive());
    if (opened != ERROR_SUCCESS) return OutcomeOfError(static_cast<DWORD>(opened));
    DWORD type = REG_NONE;
    if (::RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS ||
        type != REG_LINK) {
        key.Close();
        return OutcomeOfError(trial ? ERROR_SUCCESS : static_cast<DWORD>(::RegDeleteKeyA(root, subkey.c_str())));
    }
    if (trial) return {Outcome::kKeyLinkRemoved};
    static const auto deleteKey = reinterpret_cast<NtDeleteKeyFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
    const bool deleted = deleteKey != nullptr && deleteKey(static_cast<HKEY>(key)) == 0;
    return OutcomeOfError(deleted ? ERROR_SUCCESS : ERROR_ACCESS_DENIED, Outcome::kKeyLinkRemoved);
}

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
      m_log(log),
      m_trial(TheProduct().whatIf) {
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
    m_log.Write(OutcomeText({Outcome::kInterrupted}, m_trial));
    return false;
}

int CNVEngine::Run() {
    m_removedFiles = 0;
    m_folderCount = 0;
    m_folders.clear();
    ShowStatusText(kRemovingFilesText);
    // Before the first line: no line can change what it protects.
    m_guard = std::make_unique<RemovalGuard>(TheProduct().productCode, m_installFolder, ProductFolder());
    // The log's folders are the product's before its first line acts: a file
    // listed before its folder is the product's as much as one after it.
    // Those the run remembers, the first 999.
    int listed = 0;
    ReadUninstallLog(TheProduct().uninstallLogPath, [this, &listed](const UninstallLogRecord& record) {
        if (record.kind == LogKind::kDir && listed++ < kMaxFolders) m_guard->AddLogFolder(record.value);
    });
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
    m_heldFolder.reset();
    switch (read.reading) {
    case LogReading::kRead: return true;
    case LogReading::kEmpty: WriteRemoval(kUninstallLog, path, {Outcome::kLogEmpty}); return true;
    case LogReading::kNotOpened: WriteRemoval(kUninstallLog, path, {Outcome::kLogNotRead, {}, read.error}); break;
    case LogReading::kFolder: WriteRemoval(kUninstallLog, path, {Outcome::kLogIsFolder}); break;
    case LogReading::kNoKnownLine: WriteRemoval(kUninstallLog, path, {Outcome::kLogNoKnownLine}); break;
    case LogReading::kReadFailed: WriteRemoval(kUninstallLog, path, {Outcome::kLogReadStopped, {}, read.error}); break;
    }
    m_logUnreadable = true;
    return false;
}

void CNVEngine::WriteRemoval(std::string_view kind, std::string_view subject, const RemovalOutcome& outcome) {
    m_log.WriteAction(kind, subject, OutcomeText(outcome, m_trial), outcome.error);
}

void CNVEngine::ApplyRecord(const UninstallLogRecord& record) {
    if (!GoesOn()) return;
    const std::string& kind = record.kind;
    if (kind == LogKind::kTotalFile) {
        m_removedFiles = 0;
        m_totalFiles = LogValueAsInteger(record.value);
        SetProgressRange(m_totalFiles);
        WriteRemoval(kind, std::to_string(m_totalFiles), {Outcome::kFilesToRemove});
        return;
    }
    const bool acts = kind == LogKind::kFile || kind == LogKind::kShortcut || kind == LogKind::kNtService ||
                      kind == LogKind::kRun3rdCmd || kind == LogKind::kRegVal;
    const bool file = kind == LogKind::kFile || kind == LogKind::kShortcut;
    // Whatever else acts may want the folder (a companion removing it): let go first.
    if (acts && !file) m_heldFolder.reset();
    // A file line of a silent run takes what the system has signalled so far. The
    // line after anything else, and every line of a run with a page, looks: what
    // ran in this process meanwhile (a companion library, the page's code) counts
    // from the next line on.
    if (acts && file && !HasPage() && !m_othersActed)
        m_guard->RefreshAsSignalled();
    else if (acts)
        m_guard->Refresh();
    if (acts) m_othersActed = !file;
    if (file) {
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
    const RemovalOutcome outcome = file ? RemoveOneFile(*m_guard, file.path, m_trial, &m_heldFolder) : RemovalOutcome{*file.refusal};
    // A refused line counts as done, as a file not there does.
    SetProgressPosition(m_removedFiles);
    ++m_removedFiles;
    WriteRemoval(kind, file ? file.path : value, outcome);
}

void CNVEngine::RememberFolder(const std::string& path) {
    if (m_folderCount >= kMaxFolders) {
        WriteRemoval(LogKind::kDir, path, {Outcome::kPastLastFolder});
        return;
    }
    m_folders.push_back(path);
    ++m_folderCount;
}

void CNVEngine::DeleteService(const std::string& name) {
    if (HoldsNul(name)) {
        WriteRemoval(LogKind::kNtService, name, {Outcome::kHoldsNul});
        return;
    }
    DWORD error = ERROR_SUCCESS;
    ScHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        error = ::GetLastError();
    } else if (Refusal refusal = m_guard->ServiceRefusal(manager, name)) {
        WriteRemoval(LogKind::kNtService, name, *refusal);
        return;
    } else {
        ScHandle service(::OpenServiceA(manager, name.c_str(), DELETE));
        // Not stopped first: a running service goes when it stops.
        if (!service || (!m_trial && !::DeleteService(service))) error = ::GetLastError();
    }
    WriteRemoval(LogKind::kNtService, name, OutcomeOfError(error, Outcome::kMarkedForDeletion));
}

void CNVEngine::RunCompanion() {
    if (HoldsNul(m_companionTarget) || HoldsNul(m_companionCommand)) {
        ReportCompanion({Outcome::kHoldsNul});
        return;
    }
    // Only a link that begins so: any other scheme would hand the elevated
    // engine's request to whatever program claims it.
    if (m_companionTarget.rfind("http://", 0) == 0) {
        if (m_trial) {
            ReportCompanion({Outcome::kLinkOpened, m_companionTarget});
            return;
        }
        // No box of the shell's own when nothing opens the link: the action's
        // failure is silent, and a silent run has nobody to answer it. The
        // worker has no message loop: the shell finishes before it returns.
        SHELLEXECUTEINFOA link{};
        link.cbSize = sizeof link;
        link.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        link.lpFile = m_companionTarget.c_str();
        link.nShow = SW_SHOWDEFAULT;
        const bool opened = ::ShellExecuteExA(&link) != FALSE;
        ReportCompanion({opened ? Outcome::kLinkOpened : Outcome::kLinkNotOpened, m_companionTarget,
                         opened ? ERROR_SUCCESS : ::GetLastError()});
        return;
    }
    // The target names a file in the per-product folder, the folder of the language
    // file. It stays as the log gave it, so that a further command line joins it
    // again instead of joining the joined path.
    const std::string joined = ReplaceAll(TheProduct().languageFilePath + "\\" + m_companionTarget, "language.lan\\", "");
    const CanonicalPath target = CanonicalFullPath(joined);
    if (!target) {
        ReportCompanion({*target.refusal});
        return;
    }
    const std::string& fullPath = target.path;
    if (Refusal refusal = m_guard->CompanionRefusal(fullPath)) {
        ReportCompanion(*refusal);
        return;
    }
    if (!HasFileStatus(fullPath)) {
        ReportCompanion({Outcome::kCompanionNotThere, fullPath});
        return;
    }
    const bool library = Contains(fullPath, ".dll") || Contains(fullPath, ".DLL");
    if (m_trial)
        ReportCompanion({library ? Outcome::kLibraryCalled : Outcome::kProgramStarted, fullPath});
    else if (library)
        CallLibrary(fullPath);
    else
        RunProgram(fullPath);
}

// Both texts pass through 256-byte buffers: longer ones are cut at 255 characters.
void CNVEngine::CallLibrary(const std::string& fullPath) {
    DWORD error = ERROR_SUCCESS;
    Outcome outcome = Outcome::kLibraryCalled;
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
            outcome = Outcome::kNoSuchFunction;
        }
        ::FreeLibrary(library);
    } else {
        error = ::GetLastError();
        outcome = Outcome::kLibraryNotLoaded;
    }
    ReportCompanion({outcome, fullPath, error});
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
    ReportCompanion({error == ERROR_SUCCESS ? Outcome::kProgramStarted : Outcome::kProgramNotStarted, fullPath, error});
}

void CNVEngine::ReportCompanion(const RemovalOutcome& outcome) {
    WriteRemoval(LogKind::kRun3rdCmd, m_companionCommand, outcome);
}

void CNVEngine::DeleteRegistryValue(const std::string& value) {
    if (HoldsNul(value)) {
        WriteRemoval(LogKind::kRegVal, value, {Outcome::kHoldsNul});
        return;
    }
    RegistryValuePath path = SplitRegistryValue(value);
    if (path.root == nullptr) {
        WriteRemoval(LogKind::kRegVal, value, {Outcome::kNoRootKey});
        return;
    }
    const std::string acted = RegistryValueText(path);
    RegKey key;
    LONG result = ::RegOpenKeyExA(path.root, path.subkey.c_str(), 0, KEY_SET_VALUE | KEY_QUERY_VALUE, key.Receive());
    if (result == ERROR_SUCCESS) {
        if (Refusal refusal = m_guard->RegistryValueRefusal(key, path.root, path.subkey, path.valueName)) {
            WriteRemoval(LogKind::kRegVal, acted, *refusal);
            return;
        }
        result = m_trial ? ::RegQueryValueExA(key, path.valueName.c_str(), nullptr, nullptr, nullptr, nullptr)
                         : ::RegDeleteValueA(key, path.valueName.c_str());
    }
    WriteRemoval(LogKind::kRegVal, acted, OutcomeOfError(static_cast<DWORD>(result)));
}

void CNVEngine::RemoveFolders() {
    // Log order, no recursion: an inner folder listed before its parent lets both go.
    for (int i = 0; i < m_folderCount && GoesOn(); ++i) {
        m_guard->Refresh();
        const CanonicalPath folder = CanonicalFullPath(m_folders[i]);
        if (!folder)
            WriteRemoval(LogKind::kDir, m_folders[i], {*folder.refusal});
        else
            WriteRemoval(LogKind::kDir, folder.path,
                         RemoveFolder(*m_guard, folder.path, FolderAction::kEmptyFolder, m_trial));
    }
}

void CNVEngine::RemoveInstallFolder() {
    if (m_removeAllFlag != kFlagSet) return;
    m_guard->Refresh();
    const CanonicalPath folder = CanonicalFullPath(m_installFolder);
    if (!folder)
        WriteRemoval(LogKind::kRemoveAll, m_installFolder, {*folder.refusal});
    else
        WriteRemoval(LogKind::kRemoveAll, folder.path,
                     RemoveFolder(*m_guard, folder.path, FolderAction::kInstallFolder, m_trial));
}

void CNVEngine::DeleteRegistration() {
    const ProductContext& product = TheProduct();
    for (const std::string& key : {product.uninstallKey, product.uninstallKey32}) {
        const std::string fitted = FitBuffer(key, 255);
        WriteRemoval(kRegistration, "HKEY_LOCAL_MACHINE\\" + fitted, DeleteKeyItself(HKEY_LOCAL_MACHINE, fitted, m_trial));
    }
}

void CNVEngine::CleanUpSpecialProduct() {
    if (TheProduct().companionSeenFlag != kFlagSet) return;
    m_guard->Refresh();
    const std::string subkey = std::string(kSpecialProductKey) + "\\" + kSpecialProductSubkey;
    const std::string named = "HKEY_CURRENT_USER\\" + subkey;
    RegKey product;
    Refusal refusal;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, product.Receive()) == ERROR_SUCCESS)
        refusal = m_guard->RegistryKeyRefusal(product, HKEY_CURRENT_USER, subkey);
    product.Close();
    if (refusal) {
        WriteRemoval(kSpecialProduct, named, *refusal);
    } else {
        RegKey key;
        LONG result = ::RegOpenKeyExA(HKEY_CURRENT_USER, kSpecialProductKey, 0, KEY_SET_VALUE, key.Receive());
        if (result == ERROR_SUCCESS) {
            RegKey sub;
            result = m_trial ? ::RegOpenKeyExA(key, kSpecialProductSubkey, 0, KEY_QUERY_VALUE, sub.Receive())
                             : ::RegDeleteKeyA(key, kSpecialProductSubkey);
        }
        WriteRemoval(kSpecialProduct, named, OutcomeOfError(static_cast<DWORD>(result)));
    }
    if (!HasFileStatus(kSpecialProductFolder)) return;
    // The folder's name is a canonical path as it stands.
    WriteRemoval(kSpecialProduct, kSpecialProductFolder,
                 RemoveFolder(*m_guard, kSpecialProductFolder, FolderAction::kSpecialProductFolder, m_trial));
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
