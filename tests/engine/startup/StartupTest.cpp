#include <gtest/gtest.h>

#include "framework/AnsiPath.h"
#include "product/ProductContext.h"
#include "startup/NorvaneSetupApp.h"
#include "startup/Registro.h"
#include "support/TestProduct.h"
#include "support/TestRegistry.h"

namespace {
bool ReadArguments(std::vector<const char*> arguments) {
    return CNorvaneSetupApp::ReadCommandLine(static_cast<int>(arguments.size()), const_cast<char**>(arguments.data()));
}
}  // namespace

// Found anywhere in the text, upper case only; the last test that matches wins.
TEST(Switches, AreFoundAnywhereInUpperCaseAndTheLastTestThatMatchesWins) {
    const std::pair<const char*, int> cases[] = {
        {"/R", kModeUninstall}, {"/I", kModeModify}, {"/S", kModeSilent},   {"x/Ry", kModeUninstall},
        {"/I/R", kModeModify},  {"/R/S", kModeSilent}, {"/S/I/R", kModeSilent}, {"/s/I/r", kModeModify},
        {"/r", kModeNone},      {"/i", kModeNone},    {"/s", kModeNone},      {"R", kModeNone},
        {"r/", kModeNone},      {"(null)", kModeNone}};
    for (const auto& [text, mode] : cases) EXPECT_EQ(CNorvaneSetupApp::ModeFromSwitchText(text), mode) << text;
}

TEST(CommandLine, TheCodeIsTakenVerbatimOrAsNullAndALogIsAskedForAfterIt) {
    EXPECT_FALSE(ReadArguments({"norvexec.exe"}));
    ASSERT_TRUE(ReadArguments({"norvexec.exe", "/S"}));
    EXPECT_EQ(TheProduct().productCode, "(null)");
    ASSERT_TRUE(ReadArguments({"norvexec.exe", "/R", "{AB-12}", "ignored"}));
    EXPECT_EQ(TheProduct().mode, kModeUninstall);
    EXPECT_EQ(TheProduct().productCode, "{AB-12}");
    ASSERT_TRUE(ReadArguments({"norvexec.exe", "/I", "AB-12"}));
    EXPECT_EQ(TheProduct().productCode, "AB-12");

    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::optional<std::string> standard = std::string(temp) + "Norvane {C0DE}.log";
    const std::pair<std::vector<const char*>, std::optional<std::string>> logs[] = {
        {{"norvexec.exe", "/S", "{C0DE}", "/LOG=C:\\logs\\run.log"}, "C:\\logs\\run.log"},
        {{"norvexec.exe", "/I", "{C0DE}", "other", "/log"}, standard},
        {{"norvexec.exe", "/R", "{C0DE}", "/LOG="}, standard},
        {{"norvexec.exe", "/S", "{C0DE}", "/LOGFILE=x"}, std::nullopt}};
    for (const auto& [arguments, path] : logs)
        EXPECT_EQ(CNorvaneSetupApp::RemovalLogPath(static_cast<int>(arguments.size()),
                                                   const_cast<char**>(arguments.data()), "{C0DE}"),
                  path)
            << arguments.back();
}

TEST(ProductPaths, AreFormedBelowTheWindowsDirectoryWithOneBackslash) {
    for (const auto& [folder, with] : {std::pair{"C:\\WINDOWS", "C:\\WINDOWS\\"}, {"C:\\WINDOWS\\", "C:\\WINDOWS\\"},
                                       {"D:\\", "D:\\"}, {"", "\\"}})
        EXPECT_EQ(WithTrailingBackslash(folder), with);
    TheProduct().productCode = "{C0DE}";
    CNorvaneSetupApp::FormProductPaths("D:\\");
    EXPECT_EQ(TheProduct().uninstallLogPath, "D:\\Installer\\{C0DE}\\uninstall.log");
    EXPECT_EQ(TheProduct().themeFolder, "D:\\Installer\\{C0DE}\\theme\\");
    EXPECT_EQ(TheProduct().languageFilePath, "D:\\Installer\\{C0DE}\\language.lan");
}

// A product registered, then one that is not: nothing of the first is left.
TEST(Registration, ReachesTheProductContextFromTheRegistryAndMissingReadsAsEmpty) {
    TestProduct product("{5TART-UP-0001}");
    product.Register("Startup Demo", "C:\\Program Files\\Startup Demo");
    for (const char* code : {"{5TART-UP-0001}", "{NOT-INSTALLED-0001}"}) {
        ASSERT_TRUE(ReadArguments({"norvexec.exe", "/S", code}));
        CNorvaneSetupApp app;
        const bool installed = code == product.Code();
        EXPECT_EQ(app.ReadRegistration(), installed) << code;
        // (The process runs show the keys: both views' registrations go.)
        EXPECT_EQ(TheProduct().displayName, installed ? "Startup Demo" : "");
        EXPECT_EQ(TheProduct().installPath, installed ? "C:\\Program Files\\Startup Demo" : "");
    }
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
    EXPECT_TRUE(CNorvaneSetupApp::StartWindowsSockets());
}
