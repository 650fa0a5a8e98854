// Text replacement and fixed buffers of the engine's texts. The input holds the
// text, the searched part and its replacement, separated by NUL bytes.
// fuzz-sources:
#include <cstdio>
#include <cstdlib>

#include "properties/TextReplaceProperties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t first = input.find('\0');
    const size_t second = first == std::string_view::npos ? first : input.find('\0', first + 1);
    std::string_view text = input.substr(0, first);
    std::string_view from = first == std::string_view::npos ? "<ProductName>" : input.substr(first + 1, second - first - 1);
    std::string_view to = second == std::string_view::npos ? "[x]" : input.substr(second + 1);
    const std::string failure = TextReplaceProperties::Check(text, from, to);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
