#include "PageChoices.h"

#include "../framework/ProgramEnd.h"
#include "../product/ProductContext.h"
#include "../theme/ImageWindow.h"
#include "PathDialog.h"

namespace {
const char kBrowseCaption[] = "Brellix Norvane";
const char kBrowseInstruction[] = "Choose destination directory...";

struct PageChoice {
    const char* identifier;
    void (*run)(CImageWindow& page);
};
constexpr PageChoice kPageChoices[] = {
    {"IDC_BROWSE", [](CImageWindow& page) { OnBrowse(page); }},
    {"IDC_NOTACCEPTLICENSE", [](CImageWindow& page) { OnLicenseChoice(page, LicenseChoice::NotAccepted); }},
    {"IDC_ACCEPTLICENSE", [](CImageWindow& page) { OnLicenseChoice(page, LicenseChoice::Accepted); }},
    {"IDC_ANYONE", [](CImageWindow& page) { OnScopeChoice(page, ScopeChoice::Anyone); }},
    {"IDC_ONLYFORME", [](CImageWindow& page) { OnScopeChoice(page, ScopeChoice::OnlyForMe); }},
    {"IDCANCEL", [](CImageWindow&) { AbortProgram(); }},
};
}  // namespace

bool RunPageChoice(CImageWindow& page, const std::string& identifier) {
    for (const PageChoice& choice : kPageChoices) {
        if (identifier == choice.identifier) {
            choice.run(page);
            return true;
        }
    }
    return false;
}

void OnLicenseChoice(CImageWindow& page, LicenseChoice choice) {
    // The radio buttons do not check themselves: this is what the user sees.
    const bool accepted = choice == LicenseChoice::Accepted;
    page.CheckNamed("IDC_NOTACCEPTLICENSE", !accepted);
    page.CheckNamed("IDC_ACCEPTLICENSE", accepted);
    page.EnableNamed("IDC_NEXT", accepted);
}

void OnScopeChoice(CImageWindow& page, ScopeChoice choice) {
    const bool anyone = choice == ScopeChoice::Anyone;
    page.CheckNamed("IDC_ANYONE", anyone);
    page.CheckNamed("IDC_ONLYFORME", !anyone);
}

void OnBrowse(CImageWindow& page) {
    // The page owns the chooser, so the page takes no clicks while it runs
    // (no second chooser, no page ending under it).
    CPathDialog chooser(kBrowseCaption, kBrowseInstruction, "", page.m_hWnd);
    if (chooser.RunChooser() != IDOK) return;
    TheProduct().installPath = chooser.ChosenPath();
    page.SetControlText(page.FindControlByName("IDC_INSTALLDIR"), chooser.ChosenPath());
    page.Invalidate();
}
