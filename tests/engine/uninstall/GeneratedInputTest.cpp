// The engine's parsers against thousands of generated and mutated inputs from a
// fixed seed: uninstall log lines, the registry-value splitter,
// language texts and their product tokens. Each checks properties of the
// result, not only that nothing crashed.
#include <gtest/gtest.h>

#include <algorithm>

#include "product/LanguageText.h"
#include "product/ProductContext.h"
#include "properties/HostilePathProperties.h"
#include "properties/LogLineProperties.h"
#include "properties/TextReplaceProperties.h"
#include "support/CanaryTree.h"
#include "support/GeneratedInput.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"
#include "uninstall/CanonicalPath.h"
#include "uninstall/ProtectedFolders.h"
#include "uninstall/RegistryValuePath.h"
#include "uninstall/RemovalGuard.h"
#include "uninstall/UninstallLogReader.h"

namespace {
const std::vector<std::string> kLogFragments = {
    "FILE",  "=",     "TOTALFILE", "DIR",  "REGVAL", "REMOVEALL", "RUN3RD", "RUN3RDCMD", "NTSERVICE",
    "C:\\",  "\\",    "Program Files", "a.txt", "\n", "\r", std::string(1, '\0'), " ", "\t", "-", "+",
    "0",     "2147483647", "2147483648", "99999999999999999999", "HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER",
    "HKEY_USERS\\", "HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG\\", "SOFTWARE", "Value"};

std::vector<std::string> Seeds(const char* target, std::vector<std::string> more) {
    for (std::string& seed : ReadCorpus(target)) more.push_back(std::move(seed));
    return more;
}
}  // namespace

TEST(GeneratedInput, LogLinesJoinBackAndCountAsTheCLibraryReads) {
    const std::vector<std::string> seeds = Seeds("log_line", {"TOTALFILE=12\n", "FILE=C:\\a.txt\n"});
    InputGenerator generator(1);
    for (int i = 0; i < 30000; ++i) {
        const std::string line = generator.OneIn(2) ? generator.Compose(kLogFragments, 12)
                                                    : generator.Mutate(generator.Pick(seeds), kLogFragments);
        ASSERT_EQ(CheckLogLine(line), "") << testing::PrintToString(line);
        ASSERT_EQ(CheckLogCount(line), "") << testing::PrintToString(line);
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            ASSERT_EQ(CheckLogCount(line.substr(equals + 1)), "");
        }
    }
}

TEST(GeneratedInput, RegistryValuesSplitIntoARootAKeyAndAName) {
    const std::vector<std::string> roots = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER",
                                            "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
    InputGenerator generator(3);
    const std::vector<std::string> seeds = {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Product\\Value",
                                            "HKEY_CURRENT_USER\\Software\\Product\\", "HKEY_USERS\\x"};
    for (int i = 0; i < 20000; ++i) {
        const std::string value = generator.OneIn(2) ? generator.Compose(kLogFragments, 10)
                                                     : generator.Mutate(generator.Pick(seeds), kLogFragments);
        const RegistryValuePath path = SplitRegistryValue(value);
        bool named = false;
        for (const std::string& root : roots) named = named || value.find(root) != std::string::npos;
        ASSERT_EQ(path.root != nullptr, named) << testing::PrintToString(value);
        // Key and name join back to the value less its root prefixes, split at
        // the last backslash.
        std::string rest = value;
        for (const char* prefix : {"HKEY_CLASSES_ROOT\\", "HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\",
                                   "HKEY_USERS\\", "HKEY_CURRENT_CONFIG\\"})
            rest = TextReplaceProperties::SplitAndJoin(rest, prefix, "");
        const bool split = rest.find('\\') != std::string::npos;
        ASSERT_EQ(split ? path.subkey + "\\" + path.valueName : path.subkey, rest) << testing::PrintToString(value);
        ASSERT_EQ(path.valueName.find('\\'), std::string::npos);
        if (!split) {
            ASSERT_TRUE(path.valueName.empty());
        }
    }
    // The root a value opens; with two named, the later one in the engine's table;
    // a name in another case is none.
    for (const auto& [value, root] : {std::pair{"HKEY_CLASSES_ROOT\\Keys\\HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                                      {"HKEY_CURRENT_CONFIG\\System\\", HKEY_CURRENT_CONFIG},
                                      {"HKEY_LOCAL_MACHINE\\HKEY_CLASSES_ROOT\\x", HKEY_LOCAL_MACHINE},
                                      {"HKEY_USERS\\.DEFAULT", HKEY_USERS}, {"hkey_current_user\\Software\\x", nullptr}})
        EXPECT_EQ(SplitRegistryValue(value).root, root) << value;
}

// Language files of generated texts: a text reads back as written, cut to 254
// characters; its tokens expand to the product's name and code, a product name
// that itself holds a token included, exactly as split and join would.
TEST(GeneratedInput, LanguageTextsReadBackAndTheirTokensExpand) {
    const std::string folder = TestFiles::FreshTempFolder("generated-language");
    ProductContext& product = TheProduct();
    product.languageFilePath = folder + "\\language.lan";
    const std::vector<std::string> fragments = {"<ProductName>", "[ProductName]", "<ProductCode>", "[ProductCode]",
                                                "<",             ">",             "[",             "]",
                                                "Product",       "Name",          "Remove ",       "?",
                                                "\xB3\xEA",      "%s",            "%n",            std::string(100, 'x')};
    std::vector<std::string> seeds = Seeds("text_replace", {"This will remove <ProductName> ([ProductCode])."});
    for (std::string& seed : seeds) seed = seed.substr(0, seed.find('\0'));
    InputGenerator generator(4);
    for (int i = 0; i < 3000; ++i) {
        std::string text = generator.OneIn(2) ? generator.Compose(fragments, 8)
                                              : generator.Mutate(generator.Pick(seeds), fragments);
        // What an INI line carries as it stands: one line of text without control
        // characters, no enclosing blanks or quotes.
        text.erase(std::remove_if(text.begin(), text.end(),
                                  [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; }),
                   text.end());
        auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '"'; };
        while (!text.empty() && blank(text.back())) text.pop_back();
        while (!text.empty() && (blank(text.front()) || text.front() == '[' || text.front() == ';')) text.erase(0, 1);
        product.displayName = generator.Compose(fragments, 3);
        product.productCode = generator.Compose(fragments, 2);
        ASSERT_TRUE(TestFiles::Write(product.languageFilePath, "[SetupProgress]\r\n14=" + text + "\r\n"));
        const std::string read = ReadLanguageText("SetupProgress", "14");
        ASSERT_EQ(read, text.substr(0, 254)) << testing::PrintToString(text);

        std::string angled = read;
        std::replace(angled.begin(), angled.end(), '[', '<');
        std::replace(angled.begin(), angled.end(), ']', '>');
        const std::string expected = TextReplaceProperties::SplitAndJoin(
            TextReplaceProperties::SplitAndJoin(angled, "<ProductName>", product.displayName), "<ProductCode>",
            product.productCode);
        ASSERT_EQ(ExpandTextTokens(read), expected) << testing::PrintToString(read);
        ASSERT_EQ(TextReplaceProperties::Check(read, "<ProductName>", product.displayName), "");
    }
}

// Uninstall logs that mix every spelling of the protected folders, of the other
// products' folders and of the uninstall information with the product's own
// files and folders, read back and decided line by line as the engine decides,
// by the spelling and by where it really is (another drive letter, the
// administrative share, a folder link on the way): a folder line may remove a
// folder only when it is one of the product's,
// a file line never reaches the uninstall information, nothing relative passes,
// and what passes is the product's own path, however it was spelled.
TEST(GeneratedInput, HostileLogLinesPassOnlyForTheProductsOwnPaths) {
    TestProduct product("{NORVANE-DECISIONS-01}");
    const std::string install = "C:\\Program Files\\Norvane Decisions";
    const std::vector<std::string> ownFolders = {install, install + "\\data", install + "\\data\\deep folder"};
    const std::vector<std::string> ownFiles = {install + "\\app.exe", install + "\\data\\deep folder\\b c.dat"};
    TestFiles::MakeDirectories(ownFolders.back());
    for (const std::string& file : ownFiles) TestFiles::Write(file, "x");
    CanaryTree canaries(product.Folder());
    const RemovalGuard guard(product.Code(), install, product.Folder());
    // The install folder a registration may give, and the folders it must not.
    std::vector<std::string> notInstallFolders = canaries.Folders();
    notInstallFolders.push_back(canaries.InOtherProduct());

    const uint64_t seed = 5;
    InputGenerator generator(seed);
    const std::string logPath = TestFiles::FreshTempFolder("hostile-decisions") + "\\uninstall.log";
    auto spelled = [&](const std::string& path) {
        return HostilePaths::Respell(generator.OneIn(5) ? TestFiles::ShortPath(path) : path, generator);
    };
    for (int log = 0; log < 250; ++log) {
        // Each line: its text, and the path it must come to (empty: refused).
        struct Line {
            std::string text, own;
        };
        std::vector<Line> lines;
        for (int i = 0; i < 16; ++i) {
            if (generator.OneIn(2)) {
                lines.push_back({canaries.HostileLine(generator, true), ""});
                continue;
            }
            const bool folder = generator.OneIn(2);
            const std::string& own = generator.Pick(folder ? ownFolders : ownFiles);
            lines.push_back({(folder ? "DIR=" : "FILE=") + spelled(own), own});
        }
        std::string file;
        for (const Line& line : lines) file += line.text + "\r\n";
        ASSERT_TRUE(TestFiles::Write(logPath, file));
        size_t at = 0;
        const LogReadResult read = ReadUninstallLog(logPath, [&](const UninstallLogRecord& record) {
            ASSERT_LT(at, lines.size());
            const Line& line = lines[at++];
            const CanonicalPath path = CanonicalFullPath(record.value);
            const std::wstring key = path ? PathKey(path.path) : std::wstring();
            const bool folder = record.kind == "DIR";
            auto refused = [&](const std::wstring& checked) {
                return folder ? guard.FolderRefusal(checked, FolderAction::kEmptyFolder).has_value()
                              : guard.FileRefusal(checked).has_value();
            };
            // By its spelling, then where it really is: another drive letter, a share, a link on the way.
            const std::optional<std::wstring> final = path ? FinalKeyOf(path.path) : std::nullopt;
            const bool passes = path && !refused(key) && final && !refused(*final);
            const std::string context = "seed " + std::to_string(seed) + ", log " + std::to_string(log) + ": " +
                                        line.text + " -> " + (path ? path.path : OutcomeText({*path.refusal}, false));
            ASSERT_EQ(passes, !line.own.empty()) << context;
            if (passes) {
                ASSERT_EQ(key, PathKey(line.own)) << context;
            }
        });
        ASSERT_EQ(read.reading, LogReading::kRead);
        ASSERT_EQ(at, lines.size());

        const bool own = generator.OneIn(2);
        const std::string& folder = own ? install : generator.Pick(notInstallFolders);
        const std::string registered = spelled(folder);
        const CanonicalPath path = CanonicalFullPath(registered);
        ASSERT_TRUE(path) << registered;
        ASSERT_EQ(!guard.FolderRefusal(PathKey(path.path), FolderAction::kInstallFolder), own)
            << "seed " << seed << ", log " << log << ": install folder " << registered;
    }
    TestFiles::RemoveTree(install);
}
