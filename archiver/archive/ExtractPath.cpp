#include "ExtractPath.h"

#include "StoredPath.h"
#include "WideFiles.h"
#include "WidePath.h"

bool LandingInsideBase(const std::wstring& baseDirectory, const std::wstring& storedPath, std::wstring& landing) {
    if (!LandingPath(storedPath, landing)) return false;
    // What the rules above miss, the platform's own reading of the joined path
    // shows; a path it cannot read at all (too long) is refused with the rest.
    std::wstring base, joined;
    if (!TryFullPath(baseDirectory.empty() ? L"." : baseDirectory, base)) return false;
    base = WithTrailingBackslash(base);
    if (!TryFullPath(base + landing, joined)) return false;
    return joined.size() > base.size() && UpperCase(joined).rfind(UpperCase(base), 0) == 0;
}

std::wstring UnnamedItemName(const std::wstring& archive) {
    std::wstring name = FileNamePart(archive);
    int64_t number = 0;
    const std::wstring extension = ExtensionOf(name);
    if (extension.size() > 1 && ParseDecimal(extension.substr(1), number)) name = WithoutExtension(name);
    const size_t dot = name.rfind(L'.');
    return dot != std::wstring::npos && dot > 0 ? name.substr(0, dot) : name + L'~';
}

std::wstring NumberedItemName(const std::wstring& archive, uint32_t index) {
    return archive + L" (item " + std::to_wstring(index) + L")";
}
