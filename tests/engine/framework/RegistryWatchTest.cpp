#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>

#include "framework/RegistryWatch.h"

namespace {
constexpr wchar_t kKey[] = L"Software\\NorvaneWatchTest";

// What the waiting thread has seen, within a bound: it sees a change a moment after it is made.
bool SeenAsSignalled(RegistryWatch& watch) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!watch.ChangedAsSignalled()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        ::Sleep(1);
    }
    return true;
}

void Set(const wchar_t* subkey, DWORD value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, subkey, L"value", REG_DWORD, &value, sizeof value);
}
}  // namespace

TEST(RegistryWatch, AChangeCountsOnceAndAMissingKeyOnceItAppears) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    Set(kKey, 1);
    const std::wstring missing = std::wstring(kKey) + L"\\later";
    RegistryWatch watch;
    watch.Add(HKEY_CURRENT_USER, kKey);
    watch.Add(HKEY_CURRENT_USER, missing.c_str());
    EXPECT_FALSE(watch.ChangedAsSignalled());
    EXPECT_FALSE(watch.Changed());
    Set(kKey, 2);
    EXPECT_TRUE(watch.Changed());  // asked of the system at once
    EXPECT_FALSE(watch.ChangedAsSignalled());
    Set(kKey, 3);
    EXPECT_TRUE(SeenAsSignalled(watch));
    EXPECT_FALSE(watch.ChangedAsSignalled());
    Set(missing.c_str(), 1);
    EXPECT_TRUE(SeenAsSignalled(watch));
    EXPECT_FALSE(watch.Changed());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
}
