#include "FileRemoval.h"

#include <optional>

#include "../framework/AnsiPath.h"
#include "CanonicalPath.h"
#include "DeletionTarget.h"
#include "RemovalGuard.h"

namespace {
RemovalOutcome Released(SharedFiles& shared, const std::wstring& key, const std::wstring& finalKey, DWORD count,
                        bool trial) {
    if (trial) {
        shared.ReleaseHere(key, finalKey);
    } else if (const DWORD error = shared.Release(key, finalKey); error != ERROR_SUCCESS) {
        return {Outcome::kCountStays, {}, error};
    }
    return {Outcome::kCountLowered, std::to_string(count) + " to " + std::to_string(count - 1)};
}

// The file opened through its held folder, the folder held first; by its path
// when it has no folder to hold or the folder cannot be held or opened it.
std::optional<DeletionTarget> OpenedForDeletion(const std::wstring& path, std::optional<HeldFolder>* held) {
    const size_t cut = path.find_last_of(L'\\');
    if (held != nullptr && cut != std::wstring::npos && cut > 2 && cut + 1 < path.size()) {
        const std::wstring folder = path.substr(0, cut);
        if (!*held || (*held)->Path() != folder) {
            held->reset();
            held->emplace(folder);
        }
        if (**held) {
            std::optional<DeletionTarget> file(std::in_place, **held, path.substr(cut + 1), path);
            if (*file || file->OpenError() == ERROR_FILE_NOT_FOUND) return file;
        }
    }
    return std::optional<DeletionTarget>(std::in_place, path);
}
}  // namespace

RemovalOutcome RemoveOneFile(RemovalGuard& guard, const std::string& canonical, bool trial,
                             std::optional<HeldFolder>* folder) {
    const std::wstring key = PathKey(canonical);
    if (Refusal refusal = guard.FileRefusal(key)) return *refusal;
    const std::optional<std::wstring> wide = WidenAnsi(canonical);
    if (!wide) return OutcomeOfError(ERROR_INVALID_NAME);
    std::optional<DeletionTarget> file = OpenedForDeletion(*wide, folder);
    DWORD openError = ERROR_SUCCESS;
    if (!*file) {
        openError = file->OpenError();
        if (openError != ERROR_SHARING_VIOLATION) return OutcomeOfError(openError);
        // Held open by another program: its attributes are reset all the same.
        file.emplace(*wide, true);
        if (!*file) return OutcomeOfError(openError);
    }
    if (!file->FinalKey()) return {Outcome::kWhereUnknown};
    const std::wstring finalKey = *file->FinalKey();
    if (finalKey != key)
        if (Refusal refusal = guard.FileRefusal(finalKey)) return *refusal;
    if (Refusal refusal = guard.OwnershipRefusal(key, finalKey)) return *refusal;
    if (file->IsLink()) {
        const DWORD error = openError != ERROR_SUCCESS ? openError : trial ? ERROR_SUCCESS : file->Delete();
        return OutcomeOfError(error, Outcome::kFileLinkRemoved);
    }
    // DeleteFile's answer for a folder.
    if (file->IsDirectory()) return OutcomeOfError(ERROR_ACCESS_DENIED);
    if (file->IsFollowedFileLink(*wide, key)) return {Outcome::kFollowedLink};
    if (guard.IsPlatformProtected(finalKey)) return {Outcome::kPlatformFile};
    const SharedFiles::Share share = guard.Shared().Find(key, finalKey);
    if (share.registered && !share.readable) return {Outcome::kShareUnknown};
    if (share.registered && share.released) return {Outcome::kShareGivenUp};
    if (share.registered && share.count > 1) return Released(guard.Shared(), key, finalKey, share.count, trial);
    const Outcome done = share.registered ? Outcome::kRemovedWithCount : Outcome::kRemoved;
    if (trial) return OutcomeOfError(openError, done);
    if (file->IsReadOnly()) file->MaskAttributes();
    if (openError != ERROR_SUCCESS) return OutcomeOfError(openError);
    const DWORD error = file->Delete();
    if (error != ERROR_SUCCESS || !share.registered) return OutcomeOfError(error);
    file.reset();
    guard.Shared().Forget(key, finalKey);
    return {done};
}
