#include "RestoredFiles.h"

#include "ErrorCodes.h"
#include "FileIdentity.h"

void TRestoredFiles::AddArchiveFile(const std::wstring& name) {
    if (const uint64_t number = FileNumberOf(name)) m_archiveFiles.emplace_back(number, name);
}

TRestoredFiles::TVerdict TRestoredFiles::MayReplace(const std::wstring& path) const {
    TVerdict verdict;
    const uint64_t number = FileNumberOf(path);
    if (number == 0) return verdict;
    // The archive may lie on another volume, where another file can have the same
    // number: a match is looked at once more, volumes compared.
    for (const auto& [archiveNumber, name] : m_archiveFiles)
        if (archiveNumber == number && SameFile(path, name)) {
            verdict.Code = kCouldNotCreateFile;
            verdict.ArchiveFile = name;
            return verdict;
        }
    // The run's files all lie below its base folder.
    if (auto found = m_restored.find(number); found != m_restored.end()) {
        verdict.Code = kSameFileAsEarlier;
        verdict.EarlierItem = found->second;
    }
    return verdict;
}

void TRestoredFiles::Restored(uint64_t number, uint32_t item) {
    if (number != 0) m_restored.emplace(number, item);
}
