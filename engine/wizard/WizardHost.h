#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "../theme/PageHost.h"

// A page host that gives clicks their meaning: the licence and scope pairs,
// Browse and Cancel act on the page clicked; Next and Back open the
// neighbouring page of a sequence of theme pages, click actions 1 and 2 do the
// same from any control, "IDC_FINISH" is the host's own business. The host owns
// every page it opens. The uninstaller's main frame is one such host (its
// sequence stays empty); a theme preview fills the sequence with the pages it
// is given.
class WizardHost : public PageHost {
public:
    static constexpr int kMaxPages = 20;

    WizardHost();
    ~WizardHost() override;
    WizardHost(const WizardHost&) = delete;
    WizardHost& operator=(const WizardHost&) = delete;

    // The pages to move through: the folder that holds them (with its trailing
    // backslash) and at most 20 file names. The index goes back to before the
    // first page, so the next GoNext opens the first one. False when names
    // beyond the 20th were left out.
    bool FillPageSequence(const std::string& folder, const std::vector<std::string>& names);

    // Tests in order: the pairs, Browse and Cancel (RunPageChoice); "IDYES" and
    // "IDNO" nothing; "IDC_BACK" or click action 2 back; "IDC_FINISH" finish;
    // "IDC_NEXT" or click action 1 next; anything else nothing.
    void OnPageCommand(int windowId, int position, int clickAction, const std::string& identifier,
                       CImageWindow* page, const std::string& fileName) override;
    // The licence and scope pairs, and the names of Next, Back, Cancel, Finish,
    // Browse and the answers.
    std::string ArrowPartner(const std::string& identifier) const override;
    std::string CommandName(const std::string& identifier, int clickAction) const override;
    // Open the previous or the next page of the sequence; at either end, or with
    // an empty sequence, nothing opens and the index stays.
    void GoBack();
    void GoNext();
    // What the host does when a page asks to finish.
    virtual void OnFinishCommand() = 0;

    // Creates a page window, loads the page into it and shows it in the default
    // show state. The host keeps it; null when no window could be made.
    CImageWindow* OpenPage(const std::string& folder, const std::string& fileName, int pageIndex, int pageCount);

    int PageIndex() const { return m_pageIndex; }
    int PageCount() const { return m_pageCount; }
    // Empty for an index that names no page of the sequence.
    std::string PageName(int index) const {
        return index >= 0 && index < m_pageCount ? m_pageNames[static_cast<size_t>(index)] : std::string();
    }
    // The page GoNext opened last, while the host still has it.
    CImageWindow* LastOpenedPage() const { return m_lastOpened; }
    // The page windows the host holds, ended ones included until they go.
    size_t PageWindowCount() const { return m_pages.size(); }

protected:
    // How a page window is made; by default a pop-up without parent.
    virtual std::unique_ptr<CImageWindow> CreatePageWindow();

private:
    // Opens the sequence's page at the index, which becomes the current index
    // when a page opened; the page or null.
    CImageWindow* MoveTo(int index);
    // A page that ended itself goes only once none of its handlers is running.
    void DestroyEndedPages();

    std::string m_pageFolder;
    std::array<std::string, kMaxPages> m_pageNames;
    int m_pageIndex = -1;
    int m_pageCount = 0;
    CImageWindow* m_lastOpened = nullptr;
    std::vector<std::unique_ptr<CImageWindow>> m_pages;
};
