#include "RemovalLogText.h"

#include <cctype>
#include <sstream>

std::string SystemText(DWORD error) {
    char text[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                    sizeof text, nullptr);
    while (length > 0 && std::isspace(static_cast<unsigned char>(text[length - 1]))) --length;
    return std::string(text, length);
}

std::vector<std::string> RemovalLogLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line.substr(0, line.find('\r')));
    return lines;
}
