#pragma once
// Properties of the stored-path rules of extraction that hold on any platform,
// checked by the seeded harness and by the native fuzzing target alike.
#include <string>
#include <string_view>
#include <vector>

#include "archive/StoredPath.h"

namespace StoredPathProperties {
inline std::vector<std::wstring_view> Components(std::wstring_view path) {
    std::vector<std::wstring_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i)
        if (i == path.size() || path[i] == L'\\' || path[i] == L'/') {
            parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    return parts;
}

// Where a path lands is a plain path, which lands as itself; a plain path lands
// as it is written, "/" read as "\".
inline std::string CheckLanding(std::wstring_view path) {
    std::wstring landing, again;
    const bool plain = IsPlainRelativePath(path);
    if (!LandingPath(path, landing)) return plain ? "a plain path does not land" : "";
    if (!IsPlainRelativePath(landing)) return "a landing path is not plain";
    if (!LandingPath(landing, again) || again != landing) return "a landing path does not land as itself";
    std::wstring written(path);
    for (wchar_t& c : written)
        if (c == L'/') c = L'\\';
    if (plain && landing != written) return "a plain path lands elsewhere";
    return {};
}

// A path is plain exactly when each of its components is: the rules look at
// components one by one, so no combination of harmless parts may turn harmful.
// An accepted path never climbs: as many levels deep as it has components.
inline std::string Check(std::wstring_view path) {
    if (std::string landing = CheckLanding(path); !landing.empty()) return landing;
    const bool accepted = IsPlainRelativePath(path);
    const std::vector<std::wstring_view> parts = Components(path);
    bool allPlain = !path.empty();
    for (std::wstring_view part : parts) allPlain = allPlain && IsPlainRelativePath(part);
    if (accepted != allPlain) return accepted ? "accepted with a refused component" : "refused with plain components";
    if (!accepted) return {};
    int depth = 0;
    for (std::wstring_view part : parts) {
        if (part == L"..") --depth;
        else if (!part.empty() && part != L".") ++depth;
        if (depth <= 0) return "an accepted path leaves the base";
    }
    if (depth != static_cast<int>(parts.size())) return "an accepted path is not as deep as its components";
    for (wchar_t c : path)
        if (c == L':' || c == 0) return "an accepted path holds a ':' or a NUL";
    return {};
}
}  // namespace StoredPathProperties
