#pragma once
#include <optional>
#include <string>
#include <string_view>

// Paths in the system's ANSI code page. On double-byte code pages (932, 936,
// 949, 950) the second byte of a character may be 0x5C, the backslash's byte:
// "表" is 0x95 0x5C in code page 932. Separators are therefore looked for
// character by character, never byte by byte.

// True when the last character, not merely the last byte, is a backslash.
bool EndsWithBackslash(const std::string& path);
std::string WithTrailingBackslash(std::string path);
std::string WithoutTrailingBackslash(std::string path);
// The text after the last "\" or "/" character; the whole text without one.
std::string LastPathComponent(const std::string& path);

// The path in UTF-16; nothing when its bytes are no text of the code page.
std::optional<std::wstring> WidenAnsi(std::string_view text);
// Back to the code page; nothing when a character has no exact form there.
std::optional<std::string> NarrowToAnsi(std::wstring_view text);
// The system's upper case of a name, the form names and paths compare in.
std::wstring UpperCase(std::wstring text);
