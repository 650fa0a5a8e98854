#include <gtest/gtest.h>

#include "product/LanguageText.h"
#include "product/ProductContext.h"

// The generated texts check the square-bracket form; here the question's own,
// which leaves square brackets alone.
TEST(ProductTokens, AreReplacedNameFirstThenCodeAndSquareBracketsTurnAngleFirst) {
    const struct {
        const char *name, *code, *text, *product, *expanded;  // ExpandProductTokens, ExpandTextTokens
    } cases[] = {
        {"Foo", "{C0DE-1}", "<ProductCode>/<ProductName>/<ProductName>", "{C0DE-1}/Foo/Foo", "{C0DE-1}/Foo/Foo"},
        {"Foo", "{C0DE-1}", "[ProductName] (code [ProductCode]) <productname>", "[ProductName] (code [ProductCode]) <productname>",
         "Foo (code {C0DE-1}) <productname>"},
        // A name holding the code token gets the code; the code is not scanned again.
        {"Foo <ProductCode>", "<ProductName>", "<ProductName>", "Foo <ProductName>", "Foo <ProductName>"},
    };
    for (const auto& c : cases) {
        TheProduct().displayName = c.name;
        TheProduct().productCode = c.code;
        EXPECT_EQ(ExpandProductTokens(c.text), c.product) << c.text;
        EXPECT_EQ(ExpandTextTokens(c.text), c.expanded) << c.text;
    }
}
