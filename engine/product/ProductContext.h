#pragma once
#include <string>

// Flags hold 255 when set; any other value means clear.
constexpr int kFlagSet = 255;

enum ProductMode : int {
    kModeNone = 0,
    kModeUninstall = 255,  // "/R"
    kModeModify = 333,     // "/I"
    kModeSilent = 444,     // "/S"
};

// The process-wide record of the product being maintained. Filled by start-up on
// the interface thread before any other thread exists; afterwards only the two
// flags change.
struct ProductContext {
    int mode = kModeNone;
    std::string productCode;
    std::string uninstallKey;
    std::string uninstallKey32;  // the Wow6432Node twin, used only for deletion
    std::string displayName;
    std::string installPath;
    std::string uninstallLogPath;
    std::string themeFolder;  // ends with a backslash
    std::string languageFilePath;
    // 255 when the run has no page: written by the run when it is given its
    // page or none, read through RunHasPage.
    int noPageFlag = 0;
    int companionSeenFlag = 0;
    // A trial run (/WHATIF): the removal tells what it would do and changes nothing.
    bool whatIf = false;

    bool RunHasPage() const { return noPageFlag != kFlagSet; }
};

ProductContext& TheProduct();
