#include "FileRemoval.h"

#include <optional>

#include "../framework/AnsiPath.h"
#include "CanonicalPath.h"
#include "DeletionTarget.h"
#include "RemovalGuard.h"

namespace {
constexpr char kLinkRemoved[] = "removed, a link: what it leads to was kept";
constexpr char kPlatformFile[] = "refused, a system file that the platform protects";
constexpr char kWhereUnknown[] = "refused, where it really is cannot be told";
constexpr char kShareUnknown[] = "kept, shared with other products: its SharedDLLs count is not a number";
constexpr char kShareGivenUp[] = "kept, shared with other products: the product's share went on an earlier line";
constexpr char kRemovedWithCount[] = "removed, and its SharedDLLs count";

RemovalOutcome Released(SharedFiles& shared, const std::wstring& key, const std::wstring& finalKey, DWORD count) {
    const DWORD error = shared.Release(key, finalKey);
    if (error != ERROR_SUCCESS) return {"left, shared with other products: its SharedDLLs count stays", error};
    return {"kept, shared with other products: its SharedDLLs count went from " + std::to_string(count) + " to " +
            std::to_string(count - 1)};
}
}  // namespace

RemovalOutcome RemoveOneFile(RemovalGuard& guard, const std::string& canonical) {
    const std::wstring key = PathKey(canonical);
    if (const char* refusal = guard.FileRefusal(key)) return {refusal};
    const std::optional<std::wstring> wide = WidenAnsi(canonical);
    if (!wide) return {{}, ERROR_INVALID_NAME};
    std::optional<DeletionTarget> file(std::in_place, *wide);
    DWORD openError = ERROR_SUCCESS;
    if (!*file) {
        openError = file->OpenError();
        if (openError != ERROR_SHARING_VIOLATION) return {{}, openError};
        // Held open by another program: its attributes are reset all the same.
        file.emplace(*wide, true);
        if (!*file) return {{}, openError};
    }
    if (!file->FinalKey()) return {kWhereUnknown};
    const std::wstring finalKey = *file->FinalKey();
    if (finalKey != key)
        if (const char* refusal = guard.FileRefusal(finalKey)) return {refusal};
    if (file->IsLink()) {
        const DWORD error = openError != ERROR_SUCCESS ? openError : file->Delete();
        return error == ERROR_SUCCESS ? RemovalOutcome{kLinkRemoved} : RemovalOutcome{{}, error};
    }
    // DeleteFile's answer for a folder.
    if (file->IsDirectory()) return {{}, ERROR_ACCESS_DENIED};
    if (file->IsFollowedFileLink(*wide, key)) return {DeletionTarget::kFollowedLink};
    if (guard.IsPlatformProtected(finalKey)) return {kPlatformFile};
    const SharedFiles::Share share = guard.Shared().Find(key, finalKey);
    if (share.registered && !share.readable) return {kShareUnknown};
    if (share.registered && share.released) return {kShareGivenUp};
    if (share.registered && share.count > 1) return Released(guard.Shared(), key, finalKey, share.count);
    if (file->IsReadOnly()) file->MaskAttributes();
    if (openError != ERROR_SUCCESS) return {{}, openError};
    const DWORD error = file->Delete();
    if (error != ERROR_SUCCESS || !share.registered) return {{}, error};
    file.reset();
    guard.Shared().Forget(key, finalKey);
    return {kRemovedWithCount};
}
