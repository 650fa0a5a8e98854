#pragma once
#include <set>
#include <string>
#include <vector>

class CanaryTree;
class InputGenerator;
class TestProduct;

// A product installed afresh for each run of a hostile log: its files and
// folders (one it shares with others, SharedDLLs 3, and one only it holds, 1),
// its shortcut on the Desktop, its service, its values (settings in both
// hives, programs started at sign-in, its file type, an environment value),
// and an uninstall log that lists them, respelled, among hostile
// lines of every kind (CanaryTree::HostileLine). The registration names the
// install folder, or now and then a canary folder.
class HostileProduct {
public:
    HostileProduct(TestProduct& product, std::string install);
    ~HostileProduct();
    HostileProduct(const HostileProduct&) = delete;
    HostileProduct& operator=(const HostileProduct&) = delete;

    // Installs and registers the product and writes its log; returns the log.
    std::string Install(InputGenerator& generator, const CanaryTree& canaries);
    // The removal log's lines that removed what the product never installed, or
    // marked another service for deletion.
    std::vector<std::string> Strays(const std::vector<std::string>& removalLog) const;
    // What of the product is no longer as installed: after a trial, nothing.
    std::vector<std::string> Changed() const;
    // What stayed of the product although it was registered where it is
    // installed: its service, values and counts; nothing otherwise.
    std::vector<std::string> Kept() const;

private:
    bool Installed(const std::string& path) const;
    void Clean() const;

    TestProduct& m_product;
    const std::string m_install;
    const std::string m_shortcut;
    std::vector<std::string> m_folders;  // inner first, the install folder last
    std::vector<std::string> m_files;
    std::set<std::string> m_names;  // every file and folder, by its long name and short one
    std::string m_registered;
    bool m_linked = false;
};
