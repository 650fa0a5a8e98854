// Clicks on a page's controls: what each fixed identifier does when pressed.
#include "../product/ProductContext.h"
#include "../theme/ImageWindow.h"
#include "../theme/PageHost.h"
#include "../framework/ProgramEnd.h"
#include "PathDialog.h"

namespace {
const char kBrowseCaption[] = "Brellix Norvane";
const char kBrowseInstruction[] = "Choose destination directory...";

// The controls a page answers itself; every other click goes to its host.
struct PageAction {
    const char* identifier;
    void (*run)(CImageWindow& page);
};
using License = CImageWindow::LicenseChoice;
using Scope = CImageWindow::ScopeChoice;
constexpr PageAction kPageActions[] = {
    {"IDC_BROWSE", [](CImageWindow& page) { page.OnBrowse(); }},
    {"IDC_NOTACCEPTLICENSE", [](CImageWindow& page) { page.OnLicenseChoice(License::NotAccepted); }},
    {"IDC_ACCEPTLICENSE", [](CImageWindow& page) { page.OnLicenseChoice(License::Accepted); }},
    {"IDC_ANYONE", [](CImageWindow& page) { page.OnScopeChoice(Scope::Anyone); }},
    {"IDC_ONLYFORME", [](CImageWindow& page) { page.OnScopeChoice(Scope::OnlyForMe); }},
    {"IDCANCEL", [](CImageWindow&) { AbortProgram(); }},
};

class DepthScope {
public:
    explicit DepthScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthScope() { --m_depth; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    int& m_depth;
};
}  // namespace

void CImageWindow::OnControlCommand(int windowId) {
    // Clicks queued before the page ended (a second click on Next) find it hidden.
    if (m_ended) return;
    const int position = FindRecordByWindowId(windowId);
    if (position < 0) return;
    DepthScope running(m_commandDepth);
    // Copies: what runs below may load pages and pump messages.
    const std::string identifier = m_table[position].identifier;
    const std::string fileName = m_fileName;
    const int clickAction = FindClickAction(position);
    for (const PageAction& action : kPageActions) {
        if (identifier == action.identifier) {
            action.run(*this);
            return;
        }
    }
    if (m_host == nullptr) return;
    m_host->OnPageCommand(windowId, position, clickAction, identifier, this, fileName);
    // Only when the host put another page in its place: ending the page with
    // nothing after it would leave the program running with no window to use.
    if (identifier != "IDC_BACK" && identifier != "IDC_NEXT") return;
    const CImageWindow* current = m_host->CurrentPage();
    if (current != nullptr && current != this && ::IsWindowVisible(current->m_hWnd)) EndPage();
}

void CImageWindow::EndPage() {
    // The page's controls keep their state themselves: nothing to exchange.
    m_ended = true;
    ::EndDialog(m_hWnd, IDOK);
}

void CImageWindow::OnLicenseChoice(LicenseChoice choice) {
    // The radio buttons do not check themselves: this is what the user sees.
    const bool accepted = choice == LicenseChoice::Accepted;
    CheckNamed("IDC_NOTACCEPTLICENSE", !accepted);
    CheckNamed("IDC_ACCEPTLICENSE", accepted);
    EnableNamed("IDC_NEXT", accepted);
}

void CImageWindow::OnScopeChoice(ScopeChoice choice) {
    const bool anyone = choice == ScopeChoice::Anyone;
    CheckNamed("IDC_ANYONE", anyone);
    CheckNamed("IDC_ONLYFORME", !anyone);
}

void CImageWindow::OnBrowse() {
    // The page owns the chooser, so the page takes no clicks while it runs
    // (no second chooser, no page ending under it).
    CPathDialog chooser(kBrowseCaption, kBrowseInstruction, "", m_hWnd);
    if (chooser.RunChooser() != IDOK) return;
    TheProduct().installPath = chooser.ChosenPath();
    SetControlText(FindControlByName("IDC_INSTALLDIR"), chooser.ChosenPath());
    Invalidate();
}

void CImageWindow::CheckNamed(const char* identifier, bool check) const {
    const int windowId = FindControlByName(identifier);
    if (windowId >= 0) ::CheckDlgButton(m_hWnd, windowId, check ? BST_CHECKED : BST_UNCHECKED);
}
