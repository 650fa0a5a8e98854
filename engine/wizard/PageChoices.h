#pragma once
#include <string>

class CImageWindow;

// What a click means on the controls a page carries for choices of its own:
// the licence pair, the scope pair, Browse and Cancel. Each acts on the page
// clicked and skips the controls it lacks.
enum class LicenseChoice { NotAccepted, Accepted };
enum class ScopeChoice { OnlyForMe, Anyone };

void OnLicenseChoice(CImageWindow& page, LicenseChoice choice);
void OnScopeChoice(CImageWindow& page, ScopeChoice choice);
// The folder chooser over the page; a confirmed folder becomes the product's
// installation folder and the text of "IDC_INSTALLDIR".
void OnBrowse(CImageWindow& page);

// Runs the choice the identifier stands for; false for any other identifier.
bool RunPageChoice(CImageWindow& page, const std::string& identifier);

// The other radio button of the licence or the scope pair; empty for any other identifier.
std::string PairPartner(const std::string& identifier);
// What a click on a control with the identifier and click action does, as the
// caption of a button would say it ("Next", "Back", "Cancel", "Finish",
// "Browse"...), tested in the order a click is; empty when it does nothing.
std::string CommandName(const std::string& identifier, int clickAction);
