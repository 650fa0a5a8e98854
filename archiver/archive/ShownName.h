#pragma once
#include <string>
#include <string_view>

// A stored name as a person is to read it: every character that would not show,
// or would show something other than what is written, appears as its code, so
// that "invoice<U+202E>txt.exe" cannot pose as "invoice exe.txt" and an extension
// is never pushed out of view. Shown by code:
// - controls (U+0000-001F, U+007F-009F) and the format characters (the
//   bidirectional embeddings, overrides and isolates U+202A-202E and U+2066-2069,
//   the zero widths U+200B-200F, U+2060-2064, U+FEFF, the soft hyphen U+00AD,
//   the tags U+E0000-E007F and the rest of category Cf), line and paragraph
//   separators;
// - characters that show as nothing or as blank: the combining grapheme joiner
//   U+034F, the Hangul fillers U+115F, U+1160, U+3164, U+FFA0, the Khmer and
//   Mongolian invisibles, variation selectors (U+FE00-FE0F, U+E0100-E01EF), and
//   every blank but the plain one (no-break and typographic spaces, U+2800);
// - unpaired surrogates and noncharacters, which show as nothing at all;
// - the plain blank U+0020 wherever a blank is easy to miss: at the start or end
//   of a name or of a path component, and in runs of two or more;
// - "<" itself, so that a shown code is never read into a name.
// A code is written "<U+202E>", a run of one character "<U+0020×60>". Everything
// else, "\" and "/" included, is shown as it is.
std::wstring ShownName(std::wstring_view name);
