#include "SimulatedRun.h"

#include "framework/ExceptionBoundary.h"
#include "product/LanguageText.h"
#include "product/UninstallPage.h"
#include "uninstall/NVEngine.h"

namespace {
// A thread timer calls back without a window: the run it belongs to.
SimulatedRun* g_ticking = nullptr;
}  // namespace

SimulatedRun::SimulatedRun(UninstallPage& page, int stopPercent)
    : m_page(page), m_stopFiles(kFiles * stopPercent / 100), m_completes(stopPercent >= 100) {}

SimulatedRun::~SimulatedRun() {
    if (m_timer != 0) ::KillTimer(nullptr, m_timer);
    if (g_ticking == this) g_ticking = nullptr;
}

void SimulatedRun::Start() {
    if (m_stopped || m_timer != 0) return;
    g_ticking = this;
    m_timer = ::SetTimer(nullptr, 0, kStepMs, OnTimer);
}

void SimulatedRun::RunToStop() {
    while (!m_stopped) Step();
}

void CALLBACK SimulatedRun::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    Guarded(false, [id] {
        if (g_ticking != nullptr && g_ticking->m_timer == id) g_ticking->Step();
        return true;
    });
}

void SimulatedRun::Step() {
    if (m_stopped) return;
    if (m_step == 0) {
        m_page.ShowStatusText(CNVEngine::kRemovingFilesText, UninstallPage::kInfoText);
        m_page.SetProgressRange(kFiles);
    } else if (m_step <= kFiles) {
        // As the engine reports a file: the position before it, then on.
        m_page.SetProgressPosition(m_step - 1);
    } else {
        m_page.ShowStatusText(ReadLanguageText("SetupProgress", "10"), UninstallPage::kInfoText);
        m_page.SetProgressPosition(kFiles);
        m_page.EnableCancel();
        m_page.ShowCompletion();
    }
    ++m_step;
    m_stopped = m_completes ? m_step > kFiles + 1 : m_step > m_stopFiles + 1;
    if (m_stopped && m_timer != 0) {
        ::KillTimer(nullptr, m_timer);
        m_timer = 0;
    }
}
