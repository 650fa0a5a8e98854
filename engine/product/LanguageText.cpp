#include "LanguageText.h"

#include <windows.h>

#include <algorithm>

#include "../framework/FixedText.h"
#include "ProductContext.h"

std::string ReadLanguageText(const std::string& section, const std::string& key) {
    char text[255] = {};
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", text, sizeof text,
                               TheProduct().languageFilePath.c_str());
    return text;
}

std::string ExpandProductTokens(const std::string& text) {
    const ProductContext& product = TheProduct();
    return ReplaceAll(ReplaceAll(text, "<ProductName>", product.displayName), "<ProductCode>", product.productCode);
}

std::string ExpandTextTokens(const std::string& text) {
    std::string angled = text;
    std::replace(angled.begin(), angled.end(), '[', '<');
    std::replace(angled.begin(), angled.end(), ']', '>');
    return ExpandProductTokens(angled);
}
