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
