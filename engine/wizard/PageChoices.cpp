#include "PageChoices.h"

#include <utility>

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

std::string PairPartner(const std::string& identifier) {
    static const char* const kPairs[][2] = {{"IDC_ACCEPTLICENSE", "IDC_NOTACCEPTLICENSE"},
                                            {"IDC_ANYONE", "IDC_ONLYFORME"}};
    for (const auto& pair : kPairs) {
        if (identifier == pair[0]) return pair[1];
        if (identifier == pair[1]) return pair[0];
    }
    return {};
}

std::string CommandName(const std::string& identifier, int clickAction) {
    static const std::pair<const char*, const char*> kBefore[] = {
        {"IDC_BROWSE", "Browse"}, {"IDCANCEL", "Cancel"}, {"IDYES", "Yes"}, {"IDNO", "No"}};
    static const std::pair<const char*, const char*> kAfter[] = {{"IDRETRY", "Retry"}, {"IDIGNORE", "Ignore"}};
    for (const auto& [name, word] : kBefore)
        if (identifier == name) return word;
    if (identifier == "IDC_BACK" || clickAction == 2) return "Back";
    if (identifier == "IDC_FINISH") return "Finish";
    if (identifier == "IDC_NEXT" || clickAction == 1) return "Next";
    for (const auto& [name, word] : kAfter)
        if (identifier == name) return word;
    return {};
}

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
