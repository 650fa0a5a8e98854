#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "../controls/ThemeValues.h"

// The reading rules of theme files ("*.lcd"): INI-style files read key by key
// through the platform's profile reader, with the value syntaxes their keys and
// rows use (those of single values in controls/ThemeValues.h). Usable without
// a page window (theme checking, previews).
namespace ThemeFile {

constexpr size_t kValueBuffer = 555;  // a value holds at most 554 characters
constexpr size_t kTotalBuffer = 100;  // "TOTAL" holds at most 99
constexpr size_t kMaxFields = 20;     // fields of one control line

// One key, no default: a missing file, section or key reads as "".
std::string ReadValue(const std::string& path, const char* section, const std::string& key);
// "TOTAL" of "INFO", through its smaller buffer.
std::string ReadTotal(const std::string& path);
// The "INFO" keys in the order a page creates their controls, from TOTAL - 1
// down to 0; none for a TOTAL of 0 or less. A TOTAL beyond any real page would
// mean that many reads: then only the keys present in the section are listed.
std::vector<int> ControlKeysInOrder(const std::string& path, int total);
// The keys below TOTAL that the section has, in the same order.
std::vector<int> ControlKeysPresent(const std::string& path, int total);

// Fields at each comma, untrimmed; at most kMaxFields, later text ignored.
std::vector<std::string> SplitControlLine(std::string_view line);

// Name, value and number at the first two "|"; a braced value becomes a path
// in the theme folder.
PropertyRow SplitRow(std::string_view row, const std::string& themeFolder);
// "DADOS" key "%i,t" of a control key: its row count as written, unlimited.
int ReadRowCount(const std::string& path, int controlKey);
// "DADOS" key "%i,%i" of a control key and a row, split.
PropertyRow ReadRow(const std::string& path, int controlKey, int row, const std::string& themeFolder);

// Every "{" and "}" removed.
std::string WithoutBraces(std::string_view text);
// WithoutBraces with the theme folder (trailing separator included) in front.
std::string ThemePath(std::string_view text, const std::string& themeFolder);
// The theme file's path up to and including its last separator.
std::string FolderOf(const std::string& path);

}  // namespace ThemeFile
