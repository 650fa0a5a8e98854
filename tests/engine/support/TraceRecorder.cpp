#include "TraceRecorder.h"

#include <regex>
#include <sstream>

#include "TestPaths.h"
#include "support/ChildProcess.h"
#include "support/TestFiles.h"

TraceRecorder::TraceRecorder() {
    std::string folder = TestFiles::FreshTempFolder("trace-recorder");
    m_file = folder + "\\trace.txt";
    m_monitor = std::make_unique<ChildProcess>(NORVANE_TEST_BIN_DIR "\\tracemonitor.exe", "\"" + m_file + "\"");
    m_window = m_monitor->WaitForWindow("BrellixEvent", 10000);
}

TraceRecorder::~TraceRecorder() = default;

bool TraceRecorder::WaitForLabel(const std::string& label, unsigned long timeoutMs) const {
    const std::string ending = "-" + label + "*";
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs; ::Sleep(20))
        if (TestFiles::Read(m_file).find(ending) != std::string::npos) return true;
    return false;
}

std::vector<std::string> TraceRecorder::Stop() {
    if (m_window != nullptr) ::PostMessageA(static_cast<HWND>(m_window), WM_CLOSE, 0, 0);
    m_monitor->Wait(10000);
    m_window = nullptr;
    std::vector<std::string> lines;
    std::istringstream text(TestFiles::Read(m_file));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> TraceLabels(const std::vector<std::string>& lines) {
    static const std::regex kLine(R"(\(\d\d:\d\d:\d\d\) -(.*)\*)");
    std::vector<std::string> labels;
    for (const std::string& line : lines) {
        std::smatch match;
        labels.push_back(std::regex_match(line, match, kLine) ? match[1].str() : "malformed:" + line);
    }
    return labels;
}
