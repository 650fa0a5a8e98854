#pragma once
// Spellings of a path as careless installers and hostile uninstall logs write
// them, for the harnesses that check which paths the engine acts on. Paths are
// in a code page without double-byte characters.
#include <cctype>
#include <string>
#include <vector>

#include "support/GeneratedInput.h"

namespace HostilePaths {
inline std::vector<std::string> Names(const std::string& path) {
    std::vector<std::string> names;
    size_t start = 3;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

inline std::string Separator(InputGenerator& generator) {
    static const std::vector<std::string> kSeparators = {"\\", "\\", "/", "\\\\", "//", "\\/"};
    return generator.Pick(kSeparators);
}

inline std::string Recased(std::string text, InputGenerator& generator) {
    for (char& c : text)
        if (std::isalpha(static_cast<unsigned char>(c)) && generator.OneIn(3))
            c = static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
    return text;
}

// The same place: separators doubled or forward, "." and "name\.." put in,
// dots and blanks after names (which the file system drops), case changed, a
// trailing separator. The path is a full drive path ("C:\..." or "C:\").
inline std::string Respell(const std::string& path, InputGenerator& generator) {
    static const std::vector<std::string> kTrails = {".", " ", ". .", "..", " ."};
    std::string spelled = Recased(path.substr(0, 2), generator);
    const std::vector<std::string> names = Names(path);
    if (names.empty()) return spelled + generator.Pick(std::vector<std::string>{"\\", "/", "\\\\", "\\.", "/./"});
    for (const std::string& name : names) {
        if (generator.OneIn(6)) spelled += Separator(generator) + ".";
        if (generator.OneIn(6)) spelled += Separator(generator) + "norvane-x" + Separator(generator) + "..";
        spelled += Separator(generator) + Recased(name, generator);
        if (generator.OneIn(5)) spelled += generator.Pick(kTrails);
    }
    if (generator.OneIn(3)) spelled += Separator(generator);
    return spelled;
}

// The place without its drive or root: from the root of the current drive
// ("\users\..."), drive-relative ("C:users\..."), or climbing from the folder
// given ("..\..\users\..."), which must lie on the same drive.
inline std::string Unrooted(const std::string& path, const std::string& from, InputGenerator& generator) {
    switch (generator.Below(3)) {
    case 0: return path.substr(2);
    case 1: return path.substr(0, 2) + path.substr(3);
    default: {
        std::string climb;
        for (size_t i = 0; i < Names(from).size(); ++i) climb += "..\\";
        return climb + path.substr(3);
    }
    }
}
}  // namespace HostilePaths
