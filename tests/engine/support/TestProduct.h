#pragma once
#include <string>

// An installed product as the engine finds it: a registration under the uninstall
// key (and its Wow6432Node twin) and a per-product folder below the Windows
// directory. Everything is removed again when the object goes.
class TestProduct {
public:
    explicit TestProduct(std::string code);
    ~TestProduct();
    TestProduct(const TestProduct&) = delete;
    TestProduct& operator=(const TestProduct&) = delete;

    const std::string& Code() const { return m_code; }
    std::string UninstallKey() const;
    std::string UninstallKey32() const;
    // The per-product folder, without a trailing backslash.
    std::string Folder() const;

    void Register(const std::string& displayName, const std::string& installPath);
    void WriteLog(const std::string& content) const;
    void WriteLanguage(const std::string& content) const;

private:
    void Remove() const;
    std::string m_code;
};

// The engine program as built.
std::string NorvexecPath();
