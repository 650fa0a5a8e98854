#pragma once
#include <memory>
#include <string>
#include <vector>

class ChildProcess;

// Runs the trace monitor for the length of a test and hands back the lines it got.
class TraceRecorder {
public:
    TraceRecorder();
    ~TraceRecorder();
    bool Listening() const { return m_window != nullptr; }
    // True once a line with the label has arrived.
    bool WaitForLabel(const std::string& label, unsigned long timeoutMs) const;
    // Ends the monitor and returns every line received, in order.
    std::vector<std::string> Stop();

private:
    std::string m_file;
    std::unique_ptr<ChildProcess> m_monitor;
    void* m_window = nullptr;
};

// "(hh:mm:ss) -LABEL*" lines reduced to their labels; a line of another form
// comes back whole, prefixed with "malformed:".
std::vector<std::string> TraceLabels(const std::vector<std::string>& lines);
