#include <gtest/gtest.h>

#include "product/LanguageText.h"
#include "product/ProductContext.h"
#include "support/TestFiles.h"

namespace {
class LanguageText : public ::testing::Test {
protected:
    void SetUp() override {
        folder = TestFiles::FreshTempFolder("language-text");
        ProductContext& product = TheProduct();
        product.languageFilePath = folder + "\\language.lan";
        product.displayName = "Foo";
        product.productCode = "{C0DE-1}";
    }
    void WriteLanguage(const std::string& content) { TestFiles::Write(TheProduct().languageFilePath, content); }
    std::string folder;
};
}  // namespace

TEST_F(LanguageText, ReadsTextsWithSectionAndKeyInAnyCase) {
    WriteLanguage("[SetupProgress]\r\n10=Done.\r\n14=Remove <ProductName> now?\r\n[SetupCompleteSuccess]\r\n1=Finish\r\n");
    EXPECT_EQ(ReadLanguageText("SetupProgress", "14"), "Remove <ProductName> now?");
    EXPECT_EQ(ReadLanguageText("setupprogress", "10"), "Done.");
    EXPECT_EQ(ReadLanguageText("SETUPCOMPLETESUCCESS", "1"), "Finish");
    EXPECT_EQ(ReadLanguageText("SetupProgress", "15"), "");
    EXPECT_EQ(ReadLanguageText("Missing", "10"), "");
}

TEST_F(LanguageText, CutsLongTextsTo254Characters) {
    std::string longText(300, 'x');
    longText.replace(250, 8, "<Tail!!>");
    WriteLanguage("[SetupProgress]\n10=" + longText + "\n");
    EXPECT_EQ(ReadLanguageText("SetupProgress", "10"), longText.substr(0, 254));
}

TEST_F(LanguageText, MissingFileReadsEmpty) {
    TheProduct().languageFilePath = folder + "\\missing.lan";
    EXPECT_EQ(ReadLanguageText("SetupProgress", "14"), "");
}

TEST(ProductTokens, AreReplacedNameFirstThenCode) {
    TheProduct().displayName = "Foo";
    TheProduct().productCode = "{C0DE-1}";
    EXPECT_EQ(ExpandProductTokens("Remove <ProductName> now?"), "Remove Foo now?");
    EXPECT_EQ(ExpandProductTokens("<ProductCode>/<ProductName>/<ProductName>"), "{C0DE-1}/Foo/Foo");
    EXPECT_EQ(ExpandProductTokens("[ProductName] <productname>"), "[ProductName] <productname>");
    // A name holding the code token gets the code; the code is not scanned again.
    TheProduct().displayName = "Foo <ProductCode>";
    TheProduct().productCode = "<ProductName>";
    EXPECT_EQ(ExpandProductTokens("<ProductName>"), "Foo <ProductName>");
    TheProduct().displayName = "";
    EXPECT_EQ(ExpandProductTokens("Remove <ProductName>."), "Remove .");
}

TEST(TextTokens, TurnSquareBracketsIntoAngleBracketsFirst) {
    TheProduct().displayName = "Foo";
    TheProduct().productCode = "{C0DE-1}";
    EXPECT_EQ(ExpandTextTokens("[ProductName] (code [ProductCode])"), "Foo (code {C0DE-1})");
    EXPECT_EQ(ExpandTextTokens("a[1]"), "a<1>");
    EXPECT_EQ(ExpandTextTokens("<ProductName>"), "Foo");
}
