#include "FolderRemoval.h"

#include "../framework/AnsiPath.h"
#include "CanonicalPath.h"
#include "DeletionTarget.h"
#include "RemoveTree.h"

namespace {
constexpr char kProtected[] = "refused, a protected folder";
constexpr char kLinkRemoved[] = "removed, a link: what it leads to was not entered";
// The tree goes entry by entry; what stays is not told one by one.
constexpr char kTreeLeft[] = "left, in part or whole";
constexpr char kRemoved[] = "removed";
}  // namespace

RemovalOutcome RemoveFolder(const RemovalGuard& guard, const std::string& canonical, FolderAction action) {
    const std::wstring key = PathKey(canonical);
    if (const char* refusal = guard.FolderRefusal(key, action)) return {refusal};
    const std::optional<std::wstring> wide = WidenAnsi(canonical);
    if (!wide) return {{}, ERROR_INVALID_NAME};
    if (action != FolderAction::kEmptyFolder) MoveCurrentDirectoryOutOf(*wide);
    DeletionTarget folder(*wide);
    if (!folder) return {{}, folder.OpenError()};
    if (folder.IsLink()) {
        const DWORD error = folder.Delete();
        return error == ERROR_SUCCESS ? RemovalOutcome{kLinkRemoved} : RemovalOutcome{{}, error};
    }
    if (folder.IsFollowedLink()) return {DeletionTarget::kFollowedLink};
    // A link further up may lead a harmless-looking path into a protected folder.
    if (!folder.FinalKey()) return {kProtected};
    if (*folder.FinalKey() != key)
        if (const char* refusal = guard.FolderRefusal(*folder.FinalKey(), action)) return {refusal};
    if (action == FolderAction::kEmptyFolder)
        return {{}, folder.IsDirectory() ? folder.Delete() : ERROR_DIRECTORY};
    return {RemoveOpenedTree(*wide, folder, &guard) ? kRemoved : kTreeLeft};
}
