#include "FolderRemoval.h"

#include "../framework/AnsiPath.h"
#include "CanonicalPath.h"
#include "DeletionTarget.h"
#include "RemoveTree.h"

RemovalOutcome RemoveFolder(const RemovalGuard& guard, const std::string& canonical, FolderAction action, bool trial) {
    const std::wstring key = PathKey(canonical);
    if (Refusal refusal = guard.FolderRefusal(key, action)) return *refusal;
    const std::optional<std::wstring> wide = WidenAnsi(canonical);
    if (!wide) return OutcomeOfError(ERROR_INVALID_NAME);
    if (action != FolderAction::kEmptyFolder && !trial) MoveCurrentDirectoryOutOf(*wide);
    DeletionTarget folder(*wide);
    if (!folder) return OutcomeOfError(folder.OpenError());
    if (folder.IsLink()) return OutcomeOfError(trial ? ERROR_SUCCESS : folder.Delete(), Outcome::kFolderLinkRemoved);
    if (folder.IsFollowedLink()) return {Outcome::kFollowedLink};
    // A link further up may lead a harmless-looking path into a protected folder.
    if (!folder.FinalKey()) return {Outcome::kProtectedFolder};
    if (*folder.FinalKey() != key)
        if (Refusal refusal = guard.FolderRefusal(*folder.FinalKey(), action)) return *refusal;
    if (action == FolderAction::kEmptyFolder) {
        if (!folder.IsDirectory()) return OutcomeOfError(ERROR_DIRECTORY);
        return OutcomeOfError(trial ? ERROR_SUCCESS : folder.Delete(), Outcome::kRemovedOnceEmpty);
    }
    if (!folder.IsDirectory()) return {Outcome::kNotAFolder};
    if (trial) return {Outcome::kRemoved};
    return {RemoveOpenedTree(*wide, folder, &guard) ? Outcome::kRemoved : Outcome::kTreeLeft};
}
