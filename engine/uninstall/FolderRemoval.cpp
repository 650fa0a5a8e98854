#include "FolderRemoval.h"

#include <utility>

#include "../framework/AnsiPath.h"
#include "CanonicalPath.h"
#include "DeletionTarget.h"
#include "RemoveTree.h"

namespace {
constexpr char kProtected[] = "refused, a protected folder";
constexpr char kOtherProduct[] = "refused, it holds another product's folder";
constexpr char kLinkRemoved[] = "removed, a link: what it leads to was not entered";
constexpr char kFollowedLink[] = "left, a link that this system can only follow: what it leads to was not entered";
// The tree goes entry by entry; what stays is not told one by one.
constexpr char kTreeLeft[] = "left, in part or whole";
constexpr char kRemoved[] = "removed";
}  // namespace

FolderRemoval::FolderRemoval(std::string ownProductCode) : m_ownProductCode(std::move(ownProductCode)) {}

RemovalOutcome FolderRemoval::RemoveEmptyFolder(const std::string& canonical) { return Remove(canonical, false, true); }

RemovalOutcome FolderRemoval::RemoveInstallFolder(const std::string& canonical) { return Remove(canonical, true, true); }

RemovalOutcome FolderRemoval::RemoveSpecialProductFolder(const std::string& canonical) {
    return Remove(canonical, true, false);
}

const char* FolderRemoval::Refusal(const std::wstring& key, bool spareOtherProducts) {
    if (!m_protected) m_protected = ProtectedFolders::Read(m_ownProductCode);
    if (m_protected->Protects(key)) return kProtected;
    if (spareOtherProducts && m_protected->HoldsAnotherProduct(key)) return kOtherProduct;
    return nullptr;
}

RemovalOutcome FolderRemoval::Remove(const std::string& canonical, bool tree, bool spareOtherProducts) {
    const std::wstring key = PathKey(canonical);
    if (const char* refusal = Refusal(key, spareOtherProducts)) return {refusal};
    const std::optional<std::wstring> wide = WidenAnsi(canonical);
    if (!wide) return {nullptr, ERROR_INVALID_NAME};
    {
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
            if (const char* refusal = Refusal(*folder.FinalKey(), spareOtherProducts)) return {refusal};
        if (!tree) return {nullptr, folder.IsDirectory() ? folder.Delete() : ERROR_DIRECTORY};
    }
    return {RemoveTree(canonical) ? kRemoved : kTreeLeft};
}
