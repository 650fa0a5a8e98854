#pragma once
#include <string>
#include <vector>

class InputGenerator;

// The places no removal may touch, each with a canary: a file in every known
// folder of the user's profile and of a second one (some of those folders left
// empty, their being there the canary), in the machine's folders and at the
// drive's root; a third product, registered, with its folder and its uninstall
// information; the special product's folder; and a file beside the uninstall
// log of the product under test. Everything it made goes with it.
class CanaryTree {
public:
    explicit CanaryTree(const std::string& productFolder);
    ~CanaryTree();
    CanaryTree(const CanaryTree&) = delete;
    CanaryTree& operator=(const CanaryTree&) = delete;

    // Every protected folder, and the folders of the other products.
    const std::vector<std::string>& Folders() const { return m_folders; }
    // A folder in another product's folder, which no install folder may be.
    std::string InOtherProduct() const { return m_specialFolder + "\\Projects"; }
    // Where a run starts: it holds the canary file kCanaryName.
    std::string CurrentFolder() const { return m_secondProfile + "\\Documents"; }
    // A program outside the product's folder, which records its start beside itself.
    std::string OutsideProgram() const { return m_thirdFolder + "\\tool.exe"; }
    // An uninstall log's line naming a canary as hostile logs do: a folder in a DIR
    // line, by any spelling or without its root; a file in a FILE or SHORTCUT line
    // without its root (from CurrentFolder(), where a run starts), or by any
    // spelling in the uninstall information. The engine must refuse each.
    std::string HostileLine(InputGenerator& generator) const;

    // What is no longer as it was: a missing or changed canary, a started program.
    std::vector<std::string> Damaged() const;

    static constexpr char kCanaryName[] = "norvane-canary.txt";

private:
    void Plant(const std::string& folder, bool withFile);

    std::string m_secondProfile;
    std::string m_thirdFolder;
    std::string m_specialFolder;
    std::string m_thirdInformation;
    std::vector<std::string> m_folders;
    std::vector<std::string> m_files;
    std::vector<std::string> m_emptyFolders;
};
