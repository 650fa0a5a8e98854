#include "TestProduct.h"

#include <windows.h>

#include "TestPaths.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

std::string NorvexecPath() { return NORVANE_BIN_DIR "\\norvexec.exe"; }

TestProduct::TestProduct(std::string code) : m_code(std::move(code)) {
    Remove();
    TestFiles::MakeDirectories(Folder());
}

TestProduct::~TestProduct() { Remove(); }

std::string TestProduct::UninstallKey() const {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + m_code;
}

std::string TestProduct::UninstallKey32() const {
    return "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + m_code;
}

std::string TestProduct::Folder() const { return TestFiles::WindowsDirectory() + "\\Installer\\" + m_code; }

void TestProduct::Register(const std::string& displayName, const std::string& installPath) {
    for (const std::string& key : {UninstallKey(), UninstallKey32()}) {
        TestRegistry::WriteString(HKEY_LOCAL_MACHINE, key, "DisplayName", displayName);
        TestRegistry::WriteString(HKEY_LOCAL_MACHINE, key, "LastInstallationPath", installPath);
    }
}

void TestProduct::WriteLog(const std::string& content) const { TestFiles::Write(Folder() + "\\uninstall.log", content); }

void TestProduct::WriteLanguage(const std::string& content) const {
    TestFiles::Write(Folder() + "\\language.lan", content);
}

void TestProduct::Remove() const {
    TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, UninstallKey());
    TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, UninstallKey32());
    TestFiles::RemoveTree(Folder());
}
