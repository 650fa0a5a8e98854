// norvexec /S /LOG run on generated hostile uninstall logs and registrations
// against a canary tree: whatever the log and the registration name, and
// however they spell it, every canary stays, every "removed" or "marked for
// deletion" line of the removal log names something the product installed,
// what the product installed goes when it is registered where it is, and the
// exit code is the one the log ends with. Every third run is a trial
// (/WHATIF), after which nothing at all has changed; every fifth names the
// product by a code that is no name, which is no product. The seed is in every failure's message; the
// environment variable NORVANE_HOSTILE_SEED runs another one.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "support/CanaryTree.h"
#include "support/ChildProcess.h"
#include "support/GeneratedInput.h"
#include "support/HostileProduct.h"
#include "support/RemovalLogText.h"
#include "support/TestFiles.h"
#include "support/TestProduct.h"

namespace {
uint64_t Seed() {
    const char* text = std::getenv("NORVANE_HOSTILE_SEED");
    return text != nullptr ? std::strtoull(text, nullptr, 10) : 2026;
}
}  // namespace

TEST(HostileLogs, NorvexecRemovesOnlyWhatTheProductInstalled) {
    TestProduct product("{NORVANE-HOSTILE-01}");
    CanaryTree canaries(product.Folder());
    HostileProduct installed(product, "C:\\Program Files\\Norvane Hostile");
    const uint64_t seed = Seed();
    InputGenerator generator(seed);
    const std::string removalLog = TestFiles::FreshTempFolder("hostile-logs") + "\\removal.log";
    for (int run = 0; run < 30; ++run) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", run " + std::to_string(run));
        canaries.Renew();
        const std::string log = installed.Install(generator, canaries);
        const bool trial = run % 3 == 1, named = run % 5 != 4;
        const std::string code = named ? product.Code() : product.Code() + "\\..\\" + CanaryTree::kThirdCode;
        ChildProcess norvexec(NorvexecPath(), "/S " + code + " /LOG=\"" + removalLog + "\"" + (trial ? " /WHATIF" : ""),
                              canaries.CurrentFolder());
        const std::optional<DWORD> exitCode = norvexec.Wait(60000);
        ASSERT_TRUE(exitCode.has_value()) << log;
        if (!named) {
            EXPECT_EQ(*exitCode, static_cast<DWORD>(ERROR_UNKNOWN_PRODUCT));
        }
        const std::vector<std::string> written = RemovalLogLines(TestFiles::Read(removalLog));
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(written.back(), "exit code " + std::to_string(*exitCode));
        EXPECT_EQ(canaries.Damaged(), std::vector<std::string>()) << log << "--- removal log:\n" << TestFiles::Read(removalLog);
        EXPECT_EQ(installed.Strays(written), std::vector<std::string>()) << log << "--- removal log:\n" << TestFiles::Read(removalLog);
        if (trial || !named)
            EXPECT_EQ(installed.Changed(), std::vector<std::string>()) << log << "--- removal log:\n" << TestFiles::Read(removalLog);
        else
            EXPECT_EQ(installed.Kept(), std::vector<std::string>()) << log << "--- removal log:\n" << TestFiles::Read(removalLog);
    }
}
