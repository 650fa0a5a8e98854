#include "StagedFiles.h"

#include <algorithm>
#include <atomic>

#include "WideFiles.h"
#include "WidePath.h"

std::wstring StagingName(const std::wstring& finalName) {
    static std::atomic<unsigned> files{0};
    return DirectoryPart(finalName) + L"~dz" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++files) + L".tmp";
}

namespace {
bool SetDisposition(HANDLE file, BOOLEAN deleteFile) {
    FILE_DISPOSITION_INFO disposition{deleteFile};
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}
}  // namespace

bool DeleteOnClose(HANDLE file) { return SetDisposition(file, TRUE); }

bool KeepOnClose(HANDLE file) { return SetDisposition(file, FALSE); }

bool RenameOpenFile(HANDLE file, const std::wstring& target, TNameTaken taken) {
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t), 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = taken == TNameTaken::Replace ? TRUE : FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::copy(target.begin(), target.end(), rename->FileName);
    return ::SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
}

bool TFilesSetAside::SetAside(const std::wstring& name, DWORD& error) {
    error = ERROR_SUCCESS;
    const DWORD attributes = FileAttributes(name);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    // A read-only archive is one its owner keeps: it is not replaced.
    if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    // Every other program's access is shared, so that what only reads it (a viewer
    // that allows deleting) does not stand in the way; one that does not allow it
    // refuses this open, before anything has changed.
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    FileHandle file(::CreateFileW(FileApiPath(name).c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file || !RenameOpenFile(file.Get(), FileApiPath(StagingName(name)), TNameTaken::Fail)) {
        error = ::GetLastError();
        return false;
    }
    m_files.push_back({name, std::move(file)});
    return true;
}

void TFilesSetAside::Discard() {
    for (Aside& aside : m_files) DeleteOnClose(aside.file.Get());
    m_files.clear();
}

void TFilesSetAside::PutBack() {
    // In the reverse order, so that a set comes back as it was even where a name
    // came up twice.
    for (auto aside = m_files.rbegin(); aside != m_files.rend(); ++aside)
        RenameOpenFile(aside->file.Get(), FileApiPath(aside->name), TNameTaken::Fail);
    m_files.clear();
}
