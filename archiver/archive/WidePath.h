#pragma once
#include <cstdint>
#include <string>

// Text operations on wide paths; nothing here touches the file system.

// Upper case by the system's rules, as names are compared without regard to case.
std::wstring UpperCase(std::wstring text);
// The part after the last "\" or ":" (the file name), and the part up to it.
std::wstring FileNamePart(const std::wstring& path);
std::wstring DirectoryPart(const std::wstring& path);
// From the last "." of the file-name part, the dot included; empty without one.
std::wstring ExtensionOf(const std::wstring& path);
std::wstring WithoutExtension(const std::wstring& path);
std::wstring ChangeExtension(const std::wstring& path, const std::wstring& extension);
// Adds a backslash when the path lacks one at its end; empty stays empty.
std::wstring WithTrailingBackslash(const std::wstring& path);
// Volume numbers are decimal, padded with "0" to at least three digits.
std::wstring VolumeNumber(uint64_t number);
// FNV-1a over the characters, for finding names by hash first.
uint64_t HashOfText(const std::wstring& text);
// Digits only, no overflow.
bool ParseDecimal(const std::wstring& text, int64_t& value);
// An optional sign, then as ParseDecimal.
bool ParseSignedDecimal(const std::wstring& text, int64_t& value);
