#include "FolderRemoval.h"

#include <utility>

#include "../framework/AnsiPath.h"
#include "CanonicalPath.h"
#include "DeletionTarget.h"
#include "RemoveTree.h"

namespace {
constexpr char kProtected[] = "refused, a protected folder";
constexpr char kHoldsOtherProduct[] = "refused, it holds another product's folder";
constexpr char kInOtherProduct[] = "refused, it lies in another product's folder";
constexpr char kLinkRemoved[] = "removed, a link: what it leads to was not entered";
constexpr char kFollowedLink[] = "left, a link that this system can only follow: what it leads to was not entered";
// The tree goes entry by entry; what stays is not told one by one.
constexpr char kTreeLeft[] = "left, in part or whole";
constexpr char kRemoved[] = "removed";
}  // namespace

FolderRemoval::FolderRemoval(std::string ownProductCode) : m_ownProductCode(std::move(ownProductCode)) {}

const char* FolderRemoval::Refusal(const std::wstring& key, FolderAction action) {
    if (!m_protected) m_protected = ProtectedFolders::Read(m_ownProductCode);
    if (m_protected->Protects(key)) return kProtected;
    if (action == FolderAction::kSpecialProductFolder) return nullptr;
    if (m_protected->HoldsAnotherProduct(key)) return kHoldsOtherProduct;
    if (action == FolderAction::kInstallFolder && m_protected->LiesInAnotherProduct(key)) return kInOtherProduct;
    return nullptr;
}

RemovalOutcome FolderRemoval::Remove(const std::string& canonical, FolderAction action) {
    const std::wstring key = PathKey(canonical);
    if (const char* refusal = Refusal(key, action)) return {refusal};
    const std::optional<std::wstring> wide = WidenAnsi(canonical);
    if (!wide) return {nullptr, ERROR_INVALID_NAME};
    if (action != FolderAction::kEmptyFolder) MoveCurrentDirectoryOutOf(*wide);
    DeletionTarget folder(*wide);
    if (!folder) return {nullptr, folder.OpenError()};
    if (folder.IsLink()) {
        const DWORD error = folder.Delete();
        return error == ERROR_SUCCESS ? RemovalOutcome{kLinkRemoved} : RemovalOutcome{nullptr, error};
    }
    if (folder.IsFollowedLink()) return {kFollowedLink};
    // A link further up may lead a harmless-looking path into a protected folder.
    if (!folder.FinalKey()) return {kProtected};
    if (*folder.FinalKey() != key)
        if (const char* refusal = Refusal(*folder.FinalKey(), action)) return {refusal};
    if (action == FolderAction::kEmptyFolder)
        return {nullptr, folder.IsDirectory() ? folder.Delete() : ERROR_DIRECTORY};
    return {RemoveOpenedTree(*wide, folder) ? kRemoved : kTreeLeft};
}
