#include "RemovalLog.h"

#include <cwctype>

namespace {
// Every character that could end or bend a line (C0, DEL, C1, the line and
// paragraph separators) is written as its code in angle brackets, and so is
// "<" itself, which no path holds: each "<XX>" reads back as one character, and
// no product name, value, path or message can forge a line of its own.
bool IsEscaped(wchar_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == L'<' || c == 0x2028 || c == 0x2029;
}

void AppendUtf8(std::string& out, std::wstring_view wide) {
    std::wstring escaped;
    escaped.reserve(wide.size());
    for (wchar_t c : wide) {
        if (!IsEscaped(c)) {
            escaped += c;
            continue;
        }
        const wchar_t* digits = L"0123456789ABCDEF";
        escaped += L'<';
        for (int shift = c > 0xFF ? 12 : 4; shift >= 0; shift -= 4) escaped += digits[c >> shift & 0xF];
        escaped += L'>';
    }
    if (escaped.empty()) return;
    const int wideLength = static_cast<int>(escaped.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, escaped.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(length));
    ::WideCharToMultiByte(CP_UTF8, 0, escaped.data(), wideLength, out.data() + at, length, nullptr, nullptr);
}

// The engine's texts are in the system's code page; plain printable ASCII is UTF-8 already.
void AppendUtf8(std::string& out, std::string_view text) {
    bool plain = true;
    for (char c : text) plain = plain && static_cast<unsigned char>(c) < 0x80 && !IsEscaped(static_cast<wchar_t>(c));
    if (plain) {
        out.append(text);
        return;
    }
    const int textLength = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), textLength, nullptr, 0);
    if (length <= 0) return;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), textLength, wide.data(), length);
    AppendUtf8(out, wide);
}

void AppendErrorText(std::string& out, DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring_view message(text, text != nullptr ? length : 0);
    while (!message.empty() && std::iswspace(message.back())) message.remove_suffix(1);
    if (message.empty())
        out += "error " + std::to_string(error);
    else
        AppendUtf8(out, message);
    if (text != nullptr) ::LocalFree(text);
}

}  // namespace

RemovalLog::~RemovalLog() {
    if (IsOpen()) ::CloseHandle(m_file);
}

bool RemovalLog::Open(const std::string& path) {
    // Others may read the log while the run goes on.
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::lock_guard<std::mutex> lock(m_lock);
    if (IsOpen()) ::CloseHandle(m_file);
    m_file = file;
    // The byte-order mark makes Windows' own readers (Notepad before Windows 10,
    // PowerShell 5) take the file for UTF-8 rather than the ANSI code page.
    DWORD written = 0;
    ::WriteFile(m_file, "\xEF\xBB\xBF", 3, &written, nullptr);
    return true;
}

void RemovalLog::Write(std::string_view text, DWORD error) {
    if (!IsOpen()) return;
    std::string line;
    line.reserve(text.size() + 2);
    AppendUtf8(line, text);
    if (error != ERROR_SUCCESS) {
        line += ": ";
        AppendErrorText(line, error);
    }
    line += "\r\n";
    std::lock_guard<std::mutex> lock(m_lock);
    // Straight to the file, no buffer of our own: what the system has taken
    // survives the process. A line the disk refuses is lost; the removal goes on.
    DWORD written = 0;
    ::WriteFile(m_file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void RemovalLog::WriteAction(std::string_view kind, std::string_view subject, std::string_view outcome,
                             DWORD error) {
    if (!IsOpen()) return;
    std::string text;
    text.reserve(kind.size() + subject.size() + outcome.size() + 3);
    text.append(kind).append(" ").append(subject).append(": ").append(outcome);
    Write(text, error);
}

void RemovalLog::WriteMessage(std::string_view caption, std::string_view text) {
    if (!IsOpen()) return;
    std::string line = "message not shown: [";
    line.append(caption).append("] ");
    // Line breaks of the box become single blanks; what else it holds is escaped as any text.
    bool inBreak = false;
    for (char c : text) {
        const bool lineBreak = c == '\r' || c == '\n';
        if (!lineBreak) line += c;
        else if (!inBreak) line += ' ';
        inBreak = lineBreak;
    }
    Write(line);
}
