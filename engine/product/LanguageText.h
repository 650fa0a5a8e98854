#pragma once
#include <string>

// Texts of the product's language file ("language.lan"), read through the
// platform's profile reader into 255-byte buffers: at most 254 characters, empty
// when the file, section or key is missing. Section and key names compare
// without regard to case.
std::string ReadLanguageText(const std::string& section, const std::string& key);

// "<ProductName>" becomes the display name, then "<ProductCode>" the product code.
std::string ExpandProductTokens(const std::string& text);
// Square brackets first become angle brackets, so [ProductName] works too.
std::string ExpandTextTokens(const std::string& text);
