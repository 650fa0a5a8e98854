#include <gtest/gtest.h>

#include "product/LanguageText.h"
#include "product/ProductContext.h"
#include "support/TestFiles.h"

TEST(LanguageText, ReadsTextsWithSectionAndKeyInAnyCaseCutTo254Characters) {
    const std::string folder = TestFiles::FreshTempFolder("language-text");
    TheProduct().languageFilePath = folder + "\\language.lan";
    std::string longText(300, 'x');
    longText.replace(250, 8, "<Tail!!>");
    TestFiles::Write(TheProduct().languageFilePath, "[SetupProgress]\r\n10=Done.\r\n14=Remove <ProductName> now?\r\n"
                                                    "[SetupCompleteSuccess]\r\n1=Finish\r\n[Long]\n10=" + longText + "\n");
    const std::pair<const char*, const char*> keys[] = {{"SetupProgress", "14"}, {"setupprogress", "10"},
                                                        {"SETUPCOMPLETESUCCESS", "1"}, {"SetupProgress", "15"},
                                                        {"Missing", "10"}, {"Long", "10"}};
    const std::string texts[] = {"Remove <ProductName> now?", "Done.", "Finish", "", "", longText.substr(0, 254)};
    for (size_t i = 0; i < std::size(keys); ++i)
        EXPECT_EQ(ReadLanguageText(keys[i].first, keys[i].second), texts[i]) << keys[i].first;
    TheProduct().languageFilePath = folder + "\\missing.lan";
    EXPECT_EQ(ReadLanguageText("SetupProgress", "14"), "");
    TestFiles::RemoveTree(folder);
}

TEST(ProductTokens, AreReplacedNameFirstThenCodeAndSquareBracketsTurnAngleFirst) {
    const struct {
        const char *name, *code, *text, *product, *expanded;  // ExpandProductTokens, ExpandTextTokens
    } cases[] = {
        {"Foo", "{C0DE-1}", "Remove <ProductName> now?", "Remove Foo now?", "Remove Foo now?"},
        {"Foo", "{C0DE-1}", "<ProductCode>/<ProductName>/<ProductName>", "{C0DE-1}/Foo/Foo", "{C0DE-1}/Foo/Foo"},
        {"Foo", "{C0DE-1}", "[ProductName] <productname>", "[ProductName] <productname>", "Foo <productname>"},
        {"Foo", "{C0DE-1}", "[ProductName] (code [ProductCode])", "[ProductName] (code [ProductCode])",
         "Foo (code {C0DE-1})"},
        {"Foo", "{C0DE-1}", "a[1]", "a[1]", "a<1>"},
        // A name holding the code token gets the code; the code is not scanned again.
        {"Foo <ProductCode>", "<ProductName>", "<ProductName>", "Foo <ProductName>", "Foo <ProductName>"},
        {"", "x", "Remove <ProductName>.", "Remove .", "Remove ."},
    };
    for (const auto& c : cases) {
        TheProduct().displayName = c.name;
        TheProduct().productCode = c.code;
        EXPECT_EQ(ExpandProductTokens(c.text), c.product) << c.text;
        EXPECT_EQ(ExpandTextTokens(c.text), c.expanded) << c.text;
    }
}
