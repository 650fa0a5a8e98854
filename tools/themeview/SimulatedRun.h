#pragma once
#include <windows.h>

class UninstallPage;

// A removal that removes nothing: the progress page gets the engine's reports
// in the engine's order (the information line, the bar's range and steps, the
// closing text, Cancel enabled, the completed state), spread over a few seconds
// by a timer of the interface thread.
class SimulatedRun {
public:
    static constexpr int kFiles = 40;
    static constexpr UINT kStepMs = 60;

    // Stops after `stopPercent` of the files; at 100 the page ends completed.
    SimulatedRun(UninstallPage& page, int stopPercent);
    ~SimulatedRun();
    SimulatedRun(const SimulatedRun&) = delete;
    SimulatedRun& operator=(const SimulatedRun&) = delete;

    const UninstallPage* Page() const { return &m_page; }
    // One step each tick until the stop.
    void Start();
    // Every step up to the stop at once, for a picture.
    void RunToStop();
    bool Stopped() const { return m_stopped; }

private:
    void Step();
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);

    UninstallPage& m_page;
    int m_stopFiles;
    bool m_completes;
    int m_step = 0;  // 0: not begun; 1 ... kFiles: files; then the end
    bool m_stopped = false;
    UINT_PTR m_timer = 0;
};
