#include "UninstallRun.h"

#include <cstdio>

#include "../framework/AnsiPath.h"
#include "../framework/FileStatus.h"
#include "../framework/MessageBox.h"
#include "../framework/ProgramEnd.h"
#include "../framework/SessionEnd.h"
#include "../framework/Trace.h"
#include "../framework/Wnd.h"
#include "../product/LanguageText.h"
#include "../product/ProductContext.h"
#include "../product/UninstallPage.h"
#include "NVEngine.h"
#include "RemovalLog.h"

namespace {
constexpr char kProductUninstalled[] = "Product uninstalled.";
constexpr char kRemovalFailed[] = "The removal could not be run. Norvane can't uninstall this software";
constexpr char kLogUnreadable[] = "Uninstallation information cannot be read. Norvane can't uninstall this software";
}

CUninstallRun::CUninstallRun(const CWnd& owner, RemovalLog& log) : m_owner(owner), m_log(log) {}
CUninstallRun::~CUninstallRun() = default;

bool CUninstallRun::ConfirmRemoval() {
    if (TheProduct().mode != kModeUninstall) return true;
    const std::string caption = ReadLanguageText("SetupProgress", "15");
    const std::string question = ReadLanguageText("SetupProgress", "14");
    std::string text;
    if (!question.empty()) {
        text = ExpandProductTokens(question);
    } else {
        const char* format = "This will remove %s from your system, do you want to continue?";
        const std::string& name = TheProduct().displayName;
        text.resize(static_cast<size_t>(std::snprintf(nullptr, 0, format, name.c_str())));
        std::snprintf(text.data(), text.size() + 1, format, name.c_str());
    }
    // A box that could not be shown answers 0: only an explicit Yes removes anything.
    const int answer = AppMessageBox(m_owner.m_hWnd, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONINFORMATION);
    m_declined = answer == IDNO;
    return answer == IDYES;
}

bool CUninstallRun::Prepare() {
    const ProductContext& product = TheProduct();
    if (!HasFileStatus(product.uninstallLogPath)) {
        AppMessageBox(m_owner.m_hWnd, kUninstallInformationNotFound, "Norvane", MB_OK | MB_ICONINFORMATION);
        QuitProgram(ERROR_UNKNOWN_PRODUCT);
        return false;
    }
    m_installFolder = product.installPath;
    return true;
}

void CUninstallRun::UsePage(UninstallPage* page) {
    m_page = page;
    TheProduct().noPageFlag = m_page != nullptr ? 0 : kFlagSet;
}

std::wstring CUninstallRun::SessionEndReason() {
    const std::optional<std::wstring> name = WidenAnsi(TheProduct().displayName);
    return L"Removing " + name.value_or(L"") + L"\u2026";
}

void CUninstallRun::Run() {
    Trace("UN 1");
    m_engine = std::make_unique<CNVEngine>(m_page, m_installFolder, m_log);
    Trace("UN 2");
    bool removed = false;
    {
        // A session that ends in the middle of the removal would cut it at any file.
        SessionEndHold hold(m_owner.m_hWnd, SessionEndReason(), [this] { EndWithSession(); });
        removed = m_engine->StartRemoval();
    }
    Trace("UN 3");
    if (m_engine->StoppedAtSessionEnd()) {
        // The session is ending: nobody answers a box now.
        QuitProgram(ERROR_INSTALL_FAILURE);
    } else if (removed && !m_engine->LogUnreadable()) {
        FinishUninstall();
    } else {
        // Nothing tells how far the worker got, or the log was not read: no word of success.
        AppMessageBox(m_owner.m_hWnd, removed ? kLogUnreadable : kRemovalFailed, "Norvane", MB_OK | MB_ICONSTOP);
        QuitProgram(ERROR_INSTALL_FAILURE);
    }
    Trace("UN 4");
}

void CUninstallRun::EndWithSession() {
    m_engine->StopAtSessionEnd();
    // The system ends the process once its windows have heard of the end: the
    // exit code and the log's last line are written now.
    EndProgramNow(m_engine->RanToItsEnd() ? 0 : ERROR_INSTALL_FAILURE);
}

void CUninstallRun::FinishUninstall() {
    Trace("FinishUninstall 1");
    const ProductContext& product = TheProduct();
    if (product.mode == kModeSilent) {
        Trace("FinishUninstall 2");
        QuitProgram();
    } else if (m_page != nullptr && product.RunHasPage()) {
        Trace("FinishUninstall 4");
        m_page->ShowCompletion();
    } else {
        Trace("FinishUninstall 3");
        AppMessageBox(kProductUninstalled, MB_OK);
        QuitProgram();
    }
}

void CUninstallRun::OnFinishCommand() {
    if (!TheProduct().RunHasPage()) AppMessageBox(kProductUninstalled, MB_OK);
    ::PostQuitMessage(0);
}
