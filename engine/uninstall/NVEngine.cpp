#include "NVEngine.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <utility>

#include "../framework/FileStatus.h"
#include "../framework/FixedText.h"
#include "../framework/RegKey.h"
#include "../framework/ScHandle.h"
#include "../framework/Trace.h"
#include "../framework/WinThread.h"
#include "../product/LanguageText.h"
#include "../product/ProductContext.h"
#include "../product/UninstallPage.h"
#include "ProtectedFolders.h"
#include "RegistryValuePath.h"
#include "RemoveTree.h"
#include "UninstallLogReader.h"
#include "WaitPumping.h"

namespace {
constexpr char kSpecialProductKey[] = "Software\\Brellix";
constexpr char kSpecialProductSubkey[] = "Pelmora Studio";
constexpr char kSpecialProductFolder[] = "C:\\Program Files\\Pelmora Studio";

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

UINT RemovalWorker(void* parameter) {
    // Opening a link goes through the shell, which wants COM on the calling thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    static_cast<CNVEngine*>(parameter)->Run();
    if (SUCCEEDED(com)) ::CoUninitialize();
    Trace("StartCopyNowTH RETURN");
    return 1;
}
}  // namespace

CNVEngine::CNVEngine(UninstallPage* page) : CNVEngine(page, TheProduct().installPath) {}

CNVEngine::CNVEngine(UninstallPage* page, std::string installFolder)
    : m_page(page), m_installFolder(std::move(installFolder)) {
    m_folders.reserve(kMaxFolders);
}

bool CNVEngine::RemoveAllRequested() const { return m_removeAllFlag == kFlagSet; }

bool CNVEngine::StartRemoval() {
    Trace("StartCopyNow 1");
    std::unique_ptr<CWinThread> worker = CWinThread::Begin(RemovalWorker, this);
    Trace("StartCopyNow 2");
    const bool waited = worker && WaitPumping(worker->m_hThread);
    Trace("StartCopyNow 3");
    return waited;
}

int CNVEngine::Run() {
    m_removedFiles = 0;
    m_folderCount = 0;
    m_folders.clear();
    ShowStatusText(kRemovingFilesText);
    ReadUninstallLog(TheProduct().uninstallLogPath, [this](const UninstallLogRecord& record) { ApplyRecord(record); });
    RemoveFolders();
    RemoveInstallFolder();
    DeleteRegistration();
    ShowStatusText(ReadLanguageText("SetupProgress", "10"));
    SetProgressPosition(m_totalFiles);
    CleanUpSpecialProduct();
    if (HasPage()) m_page->EnableCancel();
    return 0;
}

void CNVEngine::ApplyRecord(const UninstallLogRecord& record) {
    const std::string& kind = record.kind;
    if (kind == LogKind::kTotalFile) {
        m_removedFiles = 0;
        m_totalFiles = LogValueAsInteger(record.value);
        SetProgressRange(m_totalFiles);
        return;
    }
    if (kind == LogKind::kFile || kind == LogKind::kShortcut) {
        RemoveFile(record.value);
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

void CNVEngine::RemoveFile(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    // Masking with the normal attribute clears read-only together with the rest.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesA(path.c_str(), attributes & FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path.c_str());
    SetProgressPosition(m_removedFiles);
    ++m_removedFiles;
}

void CNVEngine::RememberFolder(const std::string& path) {
    if (m_folderCount >= kMaxFolders) return;
    m_folders.push_back(path);
    ++m_folderCount;
}

void CNVEngine::DeleteService(const std::string& name) {
    ScHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return;
    ScHandle service(::OpenServiceA(manager, name.c_str(), DELETE));
    if (!service) return;
    // Not stopped first: a running service goes when it stops.
    ::DeleteService(service);
}

void CNVEngine::RunCompanion() {
    if (Contains(m_companionTarget, "http://")) {
        ::ShellExecuteA(nullptr, nullptr, m_companionTarget.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
        return;
    }
    // The target names a file in the per-product folder, the folder of the language
    // file. It stays as the log gave it, so that a further command line joins it
    // again instead of joining the joined path.
    std::string fullPath = ReplaceAll(TheProduct().languageFilePath + "\\" + m_companionTarget, "language.lan\\", "");
    if (!HasFileStatus(fullPath)) return;

    // Both texts pass through 256-byte buffers: longer ones are cut at 255 characters.
    if (Contains(fullPath, ".dll") || Contains(fullPath, ".DLL")) {
        HMODULE library = ::LoadLibraryA(fullPath.c_str());
        if (library == nullptr) return;
        using EntryPoint = void(WINAPI*)(char* path);
        auto entry = reinterpret_cast<EntryPoint>(::GetProcAddress(library, m_companionCommand.c_str()));
        if (entry != nullptr) {
            char argument[256] = {};
            std::string fitted = FitBuffer(fullPath, sizeof argument);
            std::memcpy(argument, fitted.data(), fitted.size());
            entry(argument);
        }
        ::FreeLibrary(library);
        return;
    }

    char application[256] = {};
    char commandLine[256] = {};
    std::string fittedPath = FitBuffer(fullPath, sizeof application);
    std::string fittedCommand = FitBuffer(m_companionCommand, sizeof commandLine);
    std::memcpy(application, fittedPath.data(), fittedPath.size());
    std::memcpy(commandLine, fittedCommand.data(), fittedCommand.size());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(application, fittedCommand.empty() ? nullptr : commandLine, nullptr, nullptr, TRUE,
                         DETACHED_PROCESS | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

void CNVEngine::DeleteRegistryValue(const std::string& value) {
    RegistryValuePath path = SplitRegistryValue(value);
    if (path.root == nullptr) return;
    RegKey key;
    if (::RegOpenKeyExA(path.root, path.subkey.c_str(), 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS) return;
    ::RegDeleteValueA(key, path.valueName.c_str());
}

void CNVEngine::RemoveFolders() {
    // Log order, no recursion: an inner folder listed before its parent lets both go.
    for (int i = 0; i < m_folderCount; ++i) {
        std::string folder = WithoutTrailingBackslash(m_folders[i]);
        if (HasFileStatus(folder)) ::RemoveDirectoryA(folder.c_str());
    }
}

void CNVEngine::RemoveInstallFolder() {
    if (m_removeAllFlag != kFlagSet) return;
    std::string folder = WithoutTrailingBackslash(m_installFolder);
    if (IsProtectedFromRemoval(folder)) return;
    if (HasFileStatus(folder)) RemoveTree(folder);
}

void CNVEngine::DeleteRegistration() {
    const ProductContext& product = TheProduct();
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, FitBuffer(product.uninstallKey, 255).c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, FitBuffer(product.uninstallKey32, 255).c_str());
}

void CNVEngine::CleanUpSpecialProduct() {
    if (TheProduct().companionSeenFlag != kFlagSet) return;
    RegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSpecialProductKey, 0, KEY_SET_VALUE, key.Receive()) == ERROR_SUCCESS)
        ::RegDeleteKeyA(key, kSpecialProductSubkey);
    key.Close();
    if (HasFileStatus(kSpecialProductFolder)) RemoveTree(kSpecialProductFolder);
}

bool CNVEngine::HasPage() const { return m_page != nullptr && TheProduct().noPageFlag != kFlagSet; }

void CNVEngine::ShowStatusText(const std::string& text) {
    if (HasPage()) m_page->ShowStatusText(text, UninstallPage::kInfoText);
}

void CNVEngine::SetProgressRange(int total) {
    if (HasPage()) m_page->SetProgressRange(total);
}

void CNVEngine::SetProgressPosition(int position) {
    if (HasPage()) m_page->SetProgressPosition(position);
}
