// themeview: shows, pictures and checks the pages of a theme as norvexec reads them.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "ThemeCheck.h"
#include "ThemeViewer.h"
#include "ViewOptions.h"
#include "framework/ExceptionBoundary.h"
#include "framework/MessageBox.h"
#include "framework/ProgramEnd.h"
#include "framework/WinApp.h"
#include "product/ProductContext.h"

namespace {
// Where no one is there to answer a box, its text goes to the error output.
int BoxToErrorOutput(HWND, const char* text, const char* caption, UINT) {
    std::fprintf(stderr, "themeview: message \"%s\": %s\n", caption, text);
    return IDOK;
}

int CheckPages(const ViewOptions& options) {
    bool clean = true;
    for (const std::string& page : options.pages) {
        for (const ThemeProblem& problem : CheckTheme(options.folder, page)) {
            std::printf("%s\n", problem.Line().c_str());
            clean = clean && problem.hint;
        }
    }
    return clean ? 0 : 1;
}

// A page that is not there would show as an empty window, or fail its picture.
bool AllPagesExist(const ViewOptions& options) {
    for (const std::string& page : options.pages) {
        const DWORD attributes = ::GetFileAttributesA((options.folder + page).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            std::fprintf(stderr, "themeview: no such page: %s\n", page.c_str());
            return false;
        }
    }
    return true;
}

class CThemeViewApp : public CWinApp {
public:
    explicit CThemeViewApp(const ViewOptions& options) : m_options(options) {}

    BOOL InitInstance() override {
        EnableControlContainer();
        ProductContext& product = TheProduct();
        product.displayName = m_options.product;
        product.productCode = m_options.code;
        product.themeFolder = m_options.folder;
        product.languageFilePath = m_options.language;
        // Cancel and closing a page end the preview, not the process by force.
        SetAbortProgramHandler([] { ::PostQuitMessage(0); });
        if (!m_options.picture.empty()) SetMessageBoxHandler(BoxToErrorOutput);
        m_viewer = std::make_unique<ThemeViewer>(m_options);
        if (!m_viewer->OpenFirstPage()) {
            std::fprintf(stderr, "themeview: the page %s%s could not be shown\n", m_options.folder.c_str(),
                         m_options.pages.front().c_str());
            ::PostQuitMessage(1);
        } else if (!m_options.picture.empty()) {
            const bool written = m_viewer->WritePicture(m_options.picture);
            if (!written) std::fprintf(stderr, "themeview: could not write %s\n", m_options.picture.c_str());
            ::PostQuitMessage(written ? 0 : 1);
        }
        return TRUE;
    }

    int Run() override {
        const int code = CWinApp::Run();
        m_viewer.reset();  // the pages go while the application still exists
        return code;
    }

private:
    const ViewOptions& m_options;
    std::unique_ptr<ThemeViewer> m_viewer;
};
}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const std::optional<ViewOptions> options =
        ViewOptions::Parse(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!options) {
        std::fprintf(stderr, "themeview: %s\n\n%s", error.c_str(), ViewUsage().c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(ViewUsage().c_str(), stdout);
        return 0;
    }
    if (options->check) {
        SetMessageBoxHandler(BoxToErrorOutput);
        return Guarded(1, [&options] { return CheckPages(*options); });
    }
    if (!AllPagesExist(*options)) return 1;
    CThemeViewApp app(*options);
    return app.Main(::GetModuleHandleA(nullptr));
}
