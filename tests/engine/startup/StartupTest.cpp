#include <gtest/gtest.h>

#include "framework/AnsiPath.h"
#include "product/ProductContext.h"
#include "startup/NorvaneSetupApp.h"
#include "startup/Registro.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"

namespace {
int ModeOf(const char* switchText) { return CNorvaneSetupApp::ModeFromSwitchText(switchText); }

std::vector<char*> Arguments(std::initializer_list<const char*> arguments) {
    std::vector<char*> argv;
    for (const char* argument : arguments) argv.push_back(const_cast<char*>(argument));
    return argv;
}

bool ReadArguments(std::initializer_list<const char*> arguments) {
    std::vector<char*> argv = Arguments(arguments);
    return CNorvaneSetupApp::ReadCommandLine(static_cast<int>(argv.size()), argv.data());
}

std::optional<std::string> LogPathOf(std::initializer_list<const char*> arguments) {
    std::vector<char*> argv = Arguments(arguments);
    return CNorvaneSetupApp::RemovalLogPath(static_cast<int>(argv.size()), argv.data(), "{C0DE}");
}
}  // namespace

TEST(Switches, AreFoundAnywhereAndTheLastTestThatMatchesWins) {
    EXPECT_EQ(ModeOf("/R"), kModeUninstall);
    EXPECT_EQ(ModeOf("/I"), kModeModify);
    EXPECT_EQ(ModeOf("/S"), kModeSilent);
    EXPECT_EQ(ModeOf("x/Ry"), kModeUninstall);
    EXPECT_EQ(ModeOf("/I/R"), kModeModify);
    EXPECT_EQ(ModeOf("/R/S"), kModeSilent);
    EXPECT_EQ(ModeOf("/S/I/R"), kModeSilent);
}

TEST(Switches, AreReadInUpperCaseOnly) {
    EXPECT_EQ(ModeOf("/r"), kModeNone);
    EXPECT_EQ(ModeOf("/i"), kModeNone);
    EXPECT_EQ(ModeOf("/s"), kModeNone);
    EXPECT_EQ(ModeOf("/s/I/r"), kModeModify);
    EXPECT_EQ(ModeOf("R"), kModeNone);
    EXPECT_EQ(ModeOf("r/"), kModeNone);
    EXPECT_EQ(ModeOf("(null)"), kModeNone);
}

TEST(CommandLine, MissingArgumentsReadAsNull) {
    EXPECT_FALSE(ReadArguments({"norvexec.exe"}));
    ASSERT_TRUE(ReadArguments({"norvexec.exe", "/S"}));
    EXPECT_EQ(TheProduct().productCode, "(null)");
}

TEST(CommandLine, TheProductCodeIsTakenVerbatim) {
    ASSERT_TRUE(ReadArguments({"norvexec.exe", "/R", "{AB-12}", "ignored"}));
    EXPECT_EQ(TheProduct().mode, kModeUninstall);
    EXPECT_EQ(TheProduct().productCode, "{AB-12}");
    ASSERT_TRUE(ReadArguments({"norvexec.exe", "/I", "AB-12"}));
    EXPECT_EQ(TheProduct().productCode, "AB-12");
}

TEST(CommandLine, ALogIsAskedForAfterTheProductCode) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string standard = std::string(temp) + "Norvane {C0DE}.log";
    EXPECT_EQ(LogPathOf({"norvexec.exe", "/S", "{C0DE}", "/LOG=C:\\logs\\run.log"}), "C:\\logs\\run.log");
    EXPECT_EQ(LogPathOf({"norvexec.exe", "/I", "{C0DE}", "other", "/log"}), standard);
    EXPECT_EQ(LogPathOf({"norvexec.exe", "/R", "{C0DE}", "/LOG="}), standard);
    EXPECT_EQ(LogPathOf({"norvexec.exe", "/S", "{C0DE}", "/LOGFILE=x"}), std::nullopt);
}

TEST(ProductPaths, AreFormedBelowTheWindowsDirectoryWithOneBackslash) {
    EXPECT_EQ(WithTrailingBackslash("C:\\WINDOWS"), "C:\\WINDOWS\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\WINDOWS\\"), "C:\\WINDOWS\\");
    EXPECT_EQ(WithTrailingBackslash("D:\\"), "D:\\");
    EXPECT_EQ(WithTrailingBackslash(""), "\\");

    TheProduct().productCode = "{C0DE}";
    CNorvaneSetupApp::FormProductPaths("D:\\");
    EXPECT_EQ(TheProduct().uninstallLogPath, "D:\\Installer\\{C0DE}\\uninstall.log");
    EXPECT_EQ(TheProduct().themeFolder, "D:\\Installer\\{C0DE}\\theme\\");
    EXPECT_EQ(TheProduct().languageFilePath, "D:\\Installer\\{C0DE}\\language.lan");
}

TEST(Registration, ReachesTheProductContextFromTheRegistry) {
    TestProduct product("{5TART-UP-0001}");
    product.Register("Startup Demo", "C:\\Program Files\\Startup Demo");
    ASSERT_TRUE(ReadArguments({"norvexec.exe", "/S", "{5TART-UP-0001}"}));
    CNorvaneSetupApp app;
    app.ReadRegistration();
    const ProductContext& context = TheProduct();
    EXPECT_EQ(context.uninstallKey, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5TART-UP-0001}");
    EXPECT_EQ(context.uninstallKey32,
              "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5TART-UP-0001}");
    EXPECT_EQ(context.displayName, "Startup Demo");
    EXPECT_EQ(context.installPath, "C:\\Program Files\\Startup Demo");
}

TEST(Registration, MissingReadsAsEmpty) {
    ASSERT_TRUE(ReadArguments({"norvexec.exe", "/S", "{NOT-INSTALLED-0001}"}));
    CNorvaneSetupApp app;
    app.ReadRegistration();
    EXPECT_EQ(TheProduct().displayName, "");
    EXPECT_EQ(TheProduct().installPath, "");
}

TEST(Registro, ReadsNonStringValuesAsTheirBytes) {
    const std::string key = "SOFTWARE\\NorvaneTests\\Registro";
    TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, key);
    TestRegistry::WriteDword(HKEY_LOCAL_MACHINE, key, "Number", 0x00434241);
    TestRegistry::WriteBinary(HKEY_LOCAL_MACHINE, key, "Bytes", "XYZ");  // stored without a terminator
    TestRegistry::WriteString(HKEY_LOCAL_MACHINE, key, "Long", std::string(600, 'n'));
    CRegistro registro;
    EXPECT_EQ(registro.ReadString(key, "Number"), "ABC");
    EXPECT_EQ(registro.ReadString(key, "Bytes"), "XYZ");
    EXPECT_EQ(registro.ReadString(key, "Long"), std::string(600, 'n'));
    EXPECT_EQ(registro.ReadString(key, "Missing"), "");
    EXPECT_EQ(registro.ReadString(key + "\\Missing", "Number"), "");
    // Key paths and names longer than the 255-character buffers are cut, not overflowed.
    EXPECT_EQ(registro.ReadString(key + std::string(400, 'k'), std::string(400, 'v')), "");
    TestRegistry::DeleteTree(HKEY_LOCAL_MACHINE, key);
}

TEST(WindowsSockets, StartAtVersionOnePointOne) { EXPECT_TRUE(CNorvaneSetupApp::StartWindowsSockets()); }
