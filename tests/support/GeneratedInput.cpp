#include "GeneratedInput.h"

#include <windows.h>

#include "TestFiles.h"
#include "TestPaths.h"

std::vector<std::string> ReadCorpus(const std::string& target) {
    const std::string folder = std::string(NORVANE_SOURCE_DIR) + "\\fuzz\\corpus\\" + target;
    std::vector<std::string> seeds;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return seeds;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            seeds.push_back(TestFiles::Read(folder + "\\" + found.cFileName));
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return seeds;
}
