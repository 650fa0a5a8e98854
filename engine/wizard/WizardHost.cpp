#include "WizardHost.h"

#include <algorithm>

#include "../theme/ImageWindow.h"
#include "PageChoices.h"

WizardHost::WizardHost() = default;
WizardHost::~WizardHost() = default;

bool WizardHost::FillPageSequence(const std::string& folder, const std::vector<std::string>& names) {
    m_pageFolder = folder;
    m_pageNames = {};
    m_pageCount = static_cast<int>(std::min(names.size(), m_pageNames.size()));
    std::copy_n(names.begin(), m_pageCount, m_pageNames.begin());
    m_pageIndex = -1;
    return names.size() <= m_pageNames.size();
}

void WizardHost::OnPageCommand(int /*windowId*/, int /*position*/, int clickAction, const std::string& identifier,
                               CImageWindow* page, const std::string& /*fileName*/) {
    if (page != nullptr && RunPageChoice(*page, identifier)) return;
    // The order decides: "IDC_FINISH" with action 2 goes back, with action 1 it finishes.
    if (identifier == "IDYES" || identifier == "IDNO") return;
    if (identifier == "IDC_BACK" || clickAction == 2) {
        GoBack();
    } else if (identifier == "IDC_FINISH") {
        OnFinishCommand();
    } else if (identifier == "IDC_NEXT" || clickAction == 1) {
        GoNext();
    }
}

std::string WizardHost::ArrowPartner(const std::string& identifier) const { return PairPartner(identifier); }

std::string WizardHost::CommandName(const std::string& identifier, int clickAction) const {
    return ::CommandName(identifier, clickAction);
}

void WizardHost::GoBack() { MoveTo(m_pageIndex - 1); }

void WizardHost::GoNext() {
    if (CImageWindow* page = MoveTo(m_pageIndex + 1)) m_lastOpened = page;
}

CImageWindow* WizardHost::MoveTo(int index) {
    if (index < 0 || index >= m_pageCount) return nullptr;
    CImageWindow* page = OpenPage(m_pageFolder, m_pageNames[static_cast<size_t>(index)], index, m_pageCount);
    if (page != nullptr) m_pageIndex = index;
    return page;
}

CImageWindow* WizardHost::OpenPage(const std::string& folder, const std::string& fileName, int pageIndex,
                                   int pageCount) {
    DestroyEndedPages();
    std::unique_ptr<CImageWindow> page = CreatePageWindow();
    if (!page || page->m_hWnd == nullptr) return nullptr;
    page->LoadPage(folder, fileName, pageIndex, pageCount);
    page->ShowWindow(SW_SHOWDEFAULT);
    page->FocusFirstControl();
    m_pages.push_back(std::move(page));
    return m_pages.back().get();
}

std::unique_ptr<CImageWindow> WizardHost::CreatePageWindow() {
    auto page = std::make_unique<CImageWindow>(this);
    if (!page->Create()) return nullptr;
    return page;
}

void WizardHost::DestroyEndedPages() {
    auto gone = [](const std::unique_ptr<CImageWindow>& page) { return page->Ended() && !page->HandlingCommand(); };
    for (const auto& page : m_pages)
        if (gone(page) && m_lastOpened == page.get()) m_lastOpened = nullptr;
    m_pages.erase(std::remove_if(m_pages.begin(), m_pages.end(), gone), m_pages.end());
}
