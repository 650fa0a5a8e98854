#include "ThemeFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace ThemeFile {
namespace {
std::string ReadInto(const std::string& path, const char* section, const std::string& key, size_t bufferBytes) {
    std::string value(bufferBytes, '\0');
    DWORD length = ::GetPrivateProfileStringA(section, key.c_str(), "", value.data(),
                                              static_cast<DWORD>(bufferBytes), path.c_str());
    value.resize(std::min<size_t>(length, bufferBytes - 1));
    return value;
}
}  // namespace

std::string ReadValue(const std::string& path, const char* section, const std::string& key) {
    return ReadInto(path, section, key, kValueBuffer);
}

std::string ReadTotal(const std::string& path) { return ReadInto(path, "INFO", "TOTAL", kTotalBuffer); }

std::vector<int> ControlKeysInOrder(const std::string& path, int total) {
    constexpr int kTotalReadDirectly = 1000;
    if (total > kTotalReadDirectly) return ControlKeysPresent(path, total);
    std::vector<int> keys;
    for (int k = std::max(total, 0) - 1; k >= 0; --k) keys.push_back(k);
    return keys;
}

std::vector<int> ControlKeysPresent(const std::string& path, int total) {
    std::vector<int> keys;
    if (total <= 0) return keys;
    std::vector<char> section(1 << 16);
    for (;;) {
        DWORD length = ::GetPrivateProfileSectionA("INFO", section.data(), static_cast<DWORD>(section.size()),
                                                   path.c_str());
        if (length + 2 < section.size() || section.size() >= (1u << 26)) break;
        section.resize(section.size() * 4);
    }
    for (const char* entry = section.data(); *entry != '\0'; entry += std::strlen(entry) + 1) {
        std::string name(entry, std::strcspn(entry, "="));
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        int key = Number(name);
        if (key >= 0 && key < total && std::to_string(key) == name) keys.push_back(key);
    }
    std::sort(keys.rbegin(), keys.rend());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

std::vector<std::string> SplitControlLine(std::string_view line) {
    std::vector<std::string> fields;
    for (;;) {
        size_t comma = line.find(',');
        if (comma == std::string_view::npos || fields.size() + 1 == kMaxFields) {
            fields.emplace_back(line.substr(0, comma));
            return fields;
        }
        fields.emplace_back(line.substr(0, comma));
        line.remove_prefix(comma + 1);
    }
}

PropertyRow SplitRow(std::string_view row, const std::string& themeFolder) {
    PropertyRow result;
    size_t bar = row.find('|');
    if (bar != std::string_view::npos) {
        result.name = std::string(row.substr(0, bar));
        row.remove_prefix(bar + 1);
    }
    std::string_view remainder = row;
    bar = row.find('|');
    if (bar != std::string_view::npos) {
        result.value = std::string(row.substr(0, bar));
        remainder = row.substr(bar + 1);
    }
    std::string number(remainder);
    number.erase(std::remove(number.begin(), number.end(), '|'), number.end());
    result.number = Number(number);
    if (result.value.find('{') != std::string::npos) result.value = ThemePath(result.value, themeFolder);
    return result;
}

int ReadRowCount(const std::string& path, int controlKey) {
    char key[32];
    std::snprintf(key, sizeof key, "%i,t", controlKey);
    return Number(ReadValue(path, "DADOS", key));
}

PropertyRow ReadRow(const std::string& path, int controlKey, int row, const std::string& themeFolder) {
    char key[32];
    std::snprintf(key, sizeof key, "%i,%i", controlKey, row);
    return SplitRow(ReadValue(path, "DADOS", key), themeFolder);
}

std::string WithoutBraces(std::string_view text) {
    std::string result(text);
    result.erase(std::remove_if(result.begin(), result.end(), [](char c) { return c == '{' || c == '}'; }),
                 result.end());
    return result;
}

std::string ThemePath(std::string_view text, const std::string& themeFolder) {
    return themeFolder + WithoutBraces(text);
}

std::string FolderOf(const std::string& path) {
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

}  // namespace ThemeFile
