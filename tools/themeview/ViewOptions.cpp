#include "ViewOptions.h"

#include <windows.h>

#include <algorithm>

#include "wizard/WizardHost.h"

namespace {
std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

// A folder quoted with its trailing backslash ("C:\theme\" page.lcd) reaches
// the program as one argument with a quote, the C runtime reading \" as a quote
// in the text; no path holds a quote, so it is taken back apart.
std::vector<std::string> Mended(const std::vector<std::string>& arguments) {
    std::vector<std::string> mended;
    for (const std::string& argument : arguments) {
        const size_t quote = argument.find('"');
        if (quote == std::string::npos) {
            mended.push_back(argument);
            continue;
        }
        mended.push_back(argument.substr(0, quote) + "\\");
        for (size_t start = quote + 1; start < argument.size();) {
            const size_t end = std::min(argument.find_first_of(" \t\"", start), argument.size());
            if (end > start) mended.push_back(argument.substr(start, end - start));
            start = end + 1;
        }
    }
    return mended;
}

// A whole number of at most three digits within the bounds.
bool ReadSmallNumber(const std::string& text, int lowest, int highest, int* number) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *number = std::stoi(text);
    return *number >= lowest && *number <= highest;
}
}  // namespace

std::optional<ViewOptions> ViewOptions::Parse(const std::vector<std::string>& given, std::string* error) {
    const std::vector<std::string> arguments = Mended(given);
    ViewOptions options;
    std::vector<std::string> positional;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](std::string* into) {
            if (i + 1 >= arguments.size()) {
                *error = argument + " needs a value";
                return false;
            }
            *into = arguments[++i];
            return true;
        };
        std::string text;
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            options.help = true;
            return options;
        } else if (argument == "--check") {
            options.check = true;
        } else if (argument == "--picture") {
            if (!value(&options.picture)) return std::nullopt;
        } else if (argument == "--progress") {
            if (!value(&text)) return std::nullopt;
            if (!ReadSmallNumber(text, 0, 100, &options.progress)) {
                *error = "--progress takes a percentage from 0 to 100, not \"" + text + "\"";
                return std::nullopt;
            }
        } else if (argument == "--dpi") {
            if (!value(&text)) return std::nullopt;
            if (!ReadSmallNumber(text, kMinDpi, kMaxDpi, &options.dpi)) {
                *error = "--dpi takes a DPI from 96 to 288, not \"" + text + "\"";
                return std::nullopt;
            }
        } else if (argument == "--product") {
            if (!value(&options.product)) return std::nullopt;
        } else if (argument == "--code") {
            if (!value(&options.code)) return std::nullopt;
        } else if (argument == "--language") {
            if (!value(&text)) return std::nullopt;
            options.language = FullPath(text);
        } else if (argument.compare(0, 2, "--") == 0) {
            *error = "unknown option " + argument;
            return std::nullopt;
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() < 2) {
        *error = positional.empty() ? "no theme folder and no page given" : "no page given";
        return std::nullopt;
    }
    if (positional[0].empty()) {
        *error = "the theme folder is empty";
        return std::nullopt;
    }
    options.folder = FullPath(positional[0]);
    if (options.folder.back() != '\\' && options.folder.back() != '/') options.folder += '\\';
    options.pages.assign(positional.begin() + 1, positional.end());
    if (!options.check && options.pages.size() > static_cast<size_t>(WizardHost::kMaxPages)) {
        *error = "at most 20 pages in one sequence";
        return std::nullopt;
    }
    return options;
}

std::string ViewUsage() {
    return std::string(
               "usage: themeview [--check] [--picture FILE.png] [--progress PERCENT] [--dpi DPI] [--product NAME]\n"
               "                 [--code CODE] [--language FILE] FOLDER PAGE...\n"
               "\n"
               "Shows the theme pages PAGE... of the theme folder FOLDER (written with its trailing backslash)\n"
               "as norvexec shows them: the first page, then the others of the sequence through Next, Back and\n"
               "click actions 1 and 2; the licence and scope pairs and Browse work as on a real page.\n"
               "\"uninstall.lcd\" is the progress page: a simulated removal moves its bar and fills its texts.\n"
               "\n"
               "  --check             list the problems of each page, one \"file:key: message\" line each,\n"
               "                      and exit with 1 when there is one (0 and nothing printed: clean);\n"
               "                      lines \"file:key: hint: ...\" only advise and leave the exit code alone\n"
               "  --picture FILE.png  write a picture of the first page as shown, then exit; the progress\n"
               "                      page is taken where its run stops\n"
               "  --progress PERCENT  stop the progress page's run at PERCENT (default: 100, completed)\n"
               "  --dpi DPI           show the pages as a monitor of DPI (96 to 288) shows them\n"
               "                      (default: the DPI of the monitor they are on)\n"
               "  --product NAME      the product's name for [ProductName] (default: \"") +
           ViewOptions::kDefaultProduct +
           "\")\n"
           "  --code CODE         the product's code for [ProductCode] (default: " +
           ViewOptions::kDefaultCode +
           ")\n"
           "  --language FILE     the language file with the progress page's texts (default: none, and the\n"
           "                      texts it would give stay empty, as norvexec leaves them without one)\n";
}
