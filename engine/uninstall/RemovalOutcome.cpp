#include "RemovalOutcome.h"

#include <iterator>

namespace {
struct Wording {
    Outcome what;
    const char* done;
    const char* trial;  // null: the same words
};

// "{}" stands for the outcome's detail. The order is the enum's.
constexpr Wording kWordings[] = {
    {Outcome::kRemoved, "removed", "would be removed"},
    {Outcome::kRemovedOnceEmpty, "removed", "would be removed once empty"},
    {Outcome::kMarkedForDeletion, "marked for deletion", "would be marked for deletion"},
    {Outcome::kFileLinkRemoved, "removed, a link: what it leads to was kept",
     "would be removed, a link: what it leads to would be kept"},
    {Outcome::kFolderLinkRemoved, "removed, a link: what it leads to was not entered",
     "would be removed, a link: what it leads to would not be entered"},
    {Outcome::kKeyLinkRemoved, "removed, a link: the key it leads to was kept",
     "would be removed, a link: the key it leads to would be kept"},
    {Outcome::kRemovedWithCount, "removed, and its SharedDLLs count", "would be removed, and its SharedDLLs count"},
    {Outcome::kCountLowered, "kept, shared with other products: its SharedDLLs count went from {}",
     "kept, shared with other products: its SharedDLLs count would go from {}"},
    {Outcome::kFilesToRemove, "files to remove", nullptr},
    {Outcome::kProgramStarted, "program {} started", "program {} would be started"},
    {Outcome::kLibraryCalled, "library {} called", "library {} would be called"},
    {Outcome::kLinkOpened, "link {} opened", "link {} would be opened"},
    {Outcome::kNotThere, "not there", nullptr},
    {Outcome::kLeft, "left", nullptr},
    {Outcome::kTreeLeft, "left, in part or whole", nullptr},
    {Outcome::kCountStays, "left, shared with other products: its SharedDLLs count stays", nullptr},
    {Outcome::kProgramNotStarted, "program {} not started", nullptr},
    {Outcome::kLibraryNotLoaded, "library {} not loaded", nullptr},
    {Outcome::kNoSuchFunction, "library {} has no such function", nullptr},
    {Outcome::kLinkNotOpened, "link {} not opened", nullptr},
    {Outcome::kCompanionNotThere, "{} not there", nullptr},
    {Outcome::kPastLastFolder, "ignored, past the 999th folder", nullptr},
    {Outcome::kNoRootKey, "ignored, no root key named", nullptr},
    {Outcome::kLogEmpty, "empty, nothing to remove", nullptr},
    {Outcome::kLogNotRead, "not read", nullptr},
    {Outcome::kLogIsFolder, "not read: a folder, not a file", nullptr},
    {Outcome::kLogNoKnownLine, "not read: not one line of a kind the engine knows", nullptr},
    {Outcome::kLogReadStopped, "read stopped part of the way, nothing more removed", nullptr},
    {Outcome::kInterrupted, "interrupted by the end of the session, nothing more removed", nullptr},
    {Outcome::kFileNotShown,
     "left, not shown to be the product's: outside its folders, neither a shortcut where shortcuts go nor a shared file",
     nullptr},
    {Outcome::kValueNamesNoPath, "left, not shown to be the product's: its data names no path in the product's folders",
     nullptr},
    {Outcome::kValueNamesOutside, "left, not shown to be the product's: its data names {}, outside the product's folders",
     nullptr},
    {Outcome::kShareUnknown, "kept, shared with other products: its SharedDLLs count is not a number", nullptr},
    {Outcome::kShareGivenUp, "kept, shared with other products: the product's share went on an earlier line", nullptr},
    {Outcome::kFollowedLink, "left, a link that this system can only follow: what it leads to was not entered", nullptr},
    {Outcome::kHoldsNul, "left, it holds a NUL byte, which no name can hold", nullptr},
    {Outcome::kNotFull, "refused, not a full path", nullptr},
    {Outcome::kDevice, "refused, a device path", nullptr},
    {Outcome::kDotsOrBlanks, "refused, a name of dots or blanks only", nullptr},
    {Outcome::kTooLong, "refused, longer than 259 characters", nullptr},
    {Outcome::kNotText, "refused, not text of the system's code page", nullptr},
    {Outcome::kProtectedFolder, "refused, a protected folder", nullptr},
    {Outcome::kInWindows, "refused, inside the Windows folder", nullptr},
    {Outcome::kTemporary, "refused, a temporary folder or inside one", nullptr},
    {Outcome::kInDocuments, "refused, inside a user's documents", nullptr},
    {Outcome::kNotAFolder, "refused, not a folder", nullptr},
    {Outcome::kHoldsOtherProduct, "refused, it holds another product's folder", nullptr},
    {Outcome::kInOtherProduct, "refused, it lies in another product's folder", nullptr},
    {Outcome::kUninstallInformation, "refused, part of the uninstall information", nullptr},
    {Outcome::kWhereUnknown, "refused, where it really is cannot be told", nullptr},
    {Outcome::kPlatformFile, "refused, a system file that the platform protects", nullptr},
    {Outcome::kOutsideProductFolder, "refused, outside the product's folder: {}", nullptr},
    {Outcome::kNotProductsService, "refused, not the product's service: {}", nullptr},
    {Outcome::kKeyUnknown, "refused, where the key really is cannot be told", nullptr},
    {Outcome::kProtectedKey, "refused, a protected place of the registry", nullptr},
    {Outcome::kOtherRegistration, "refused, inside another product's registration", nullptr},
    {Outcome::kReadByRemoval, "refused, a value that the removal's own checks read", nullptr},
    {Outcome::kVitalPlace, "refused, a vital place of the system", nullptr},
};

constexpr bool InEnumOrder() {
    for (size_t i = 0; i < std::size(kWordings); ++i)
        if (static_cast<size_t>(kWordings[i].what) != i) return false;
    return true;
}
static_assert(InEnumOrder() && std::size(kWordings) == static_cast<size_t>(Outcome::kVitalPlace) + 1,
              "one wording for every outcome, in the enum's order");

bool NamesSomethingMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_SERVICE_DOES_NOT_EXIST;
}
}  // namespace

RemovalOutcome OutcomeOfError(DWORD error, Outcome done) {
    if (error == ERROR_SUCCESS) return {done};
    if (NamesSomethingMissing(error)) return {Outcome::kNotThere};
    return {Outcome::kLeft, {}, error};
}

std::string OutcomeText(const RemovalOutcome& outcome, bool trial) {
    const Wording& wording = kWordings[static_cast<size_t>(outcome.what)];
    std::string text = trial && wording.trial != nullptr ? wording.trial : wording.done;
    const size_t slot = text.find("{}");
    if (slot != std::string::npos) text.replace(slot, 2, outcome.detail);
    return text;
}
