#pragma once
#include <windows.h>

#include <optional>
#include <string>

// Every outcome an action of the removal can have, each worded once in the
// removal log's table (RemovalOutcome.cpp): as done, and as a trial run
// (/WHATIF) says it would be done. Refusals and what is left read the same
// in both.
enum class Outcome {
    // Done, or to be done.
    kRemoved,
    kRemovedOnceEmpty,  // a DIR folder: it goes only empty
    kMarkedForDeletion,
    kFileLinkRemoved,
    kFolderLinkRemoved,
    kKeyLinkRemoved,
    kRemovedWithCount,
    kCountLowered,  // detail: "3 to 2"
    kFilesToRemove,
    kProgramStarted,  // detail: the program
    kLibraryCalled,   // detail: the library
    kLinkOpened,      // detail: the link
    // Failed, or nothing to do.
    kNotThere,
    kLeft,  // the error says why
    kTreeLeft,
    kCountStays,
    kProgramNotStarted,
    kLibraryNotLoaded,
    kNoSuchFunction,
    kLinkNotOpened,
    kCompanionNotThere,  // detail: its path
    kPastLastFolder,
    kNoRootKey,
    kLogEmpty,
    kLogNotRead,
    kLogIsFolder,
    kLogNoKnownLine,
    kLogReadStopped,
    kInterrupted,
    // Not shown to be the product's.
    kFileNotShown,
    kValueNamesNoPath,
    kValueNamesOutside,  // detail: the path outside
    kShareUnknown,
    kShareGivenUp,
    kFollowedLink,
    kHoldsNul,
    // Refused: a rule of the removal keeps it.
    kNotFull,
    kDevice,
    kDotsOrBlanks,
    kTooLong,
    kNotText,
    kProtectedFolder,
    kInWindows,
    kTemporary,
    kInDocuments,
    kNotAFolder,
    kHoldsOtherProduct,
    kInOtherProduct,
    kUninstallInformation,
    kWhereUnknown,
    kPlatformFile,
    kOutsideProductFolder,  // detail: the companion's path
    kNotProductsService,    // detail: why
    kKeyUnknown,
    kProtectedKey,
    kOtherRegistration,
    kReadByRemoval,
    kVitalPlace,
};

// One action's outcome: what became of it, what the text needs (a path, a
// count), and the system's error when there was one.
struct RemovalOutcome {
    Outcome what = Outcome::kRemoved;
    std::string detail;
    DWORD error = ERROR_SUCCESS;

    RemovalOutcome(Outcome outcome, std::string detailText = {}, DWORD errorCode = ERROR_SUCCESS)
        : what(outcome), detail(std::move(detailText)), error(errorCode) {}
};

// Why an action may not go, or nothing when it may.
using Refusal = std::optional<RemovalOutcome>;

// The outcome an error code tells: done on success, not there when the error
// says the thing is missing, left otherwise.
RemovalOutcome OutcomeOfError(DWORD error, Outcome done = Outcome::kRemoved);

// The outcome as the removal log words it, done or, in a trial run, to be done
// (without the error's text, which the log adds).
std::string OutcomeText(const RemovalOutcome& outcome, bool trial);
