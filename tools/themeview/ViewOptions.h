#pragma once
#include <optional>
#include <string>
#include <vector>

// themeview's command line.
struct ViewOptions {
    static constexpr char kDefaultProduct[] = "Sample Product";
    static constexpr char kDefaultCode[] = "{00000000-0000-0000-0000-000000000000}";
    static constexpr int kMinDpi = 96;
    static constexpr int kMaxDpi = 288;

    bool help = false;
    bool check = false;
    std::string picture;  // empty: show the pages
    int progress = 100;   // where the progress page's simulated run stops, in percent
    int dpi = 0;          // the DPI the pages are shown at; 0: their monitor's
    std::string product = kDefaultProduct;
    std::string code = kDefaultCode;
    std::string language;  // full path; empty: none
    std::string folder;    // full path with its trailing backslash
    std::vector<std::string> pages;

    // The options, or nothing with the reason in `error`. Relative paths become
    // full ones: the profile reader would look for them in the Windows folder.
    static std::optional<ViewOptions> Parse(const std::vector<std::string>& arguments, std::string* error);
};

// The usage text, defaults named.
std::string ViewUsage();
