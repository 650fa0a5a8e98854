#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archive/SevenZip.h"

// Real files for the archive tests, with wide (UTF-16) names, and 7-Zip's own
// command line as the independent oracle.
namespace ArchiveTest {
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

// A new empty folder below the temporary folder, named after the test.
std::wstring FreshFolder(const std::wstring& name);
void RemoveTree(const std::wstring& path);
bool WriteFile(const std::wstring& path, const std::string& content);
std::string ReadFile(const std::wstring& path);
uint64_t FileSize(const std::wstring& path);
bool Exists(const std::wstring& path);
void MakeDirectories(const std::wstring& path);
FILETIME LastWriteTime(const std::wstring& path);
void SetLastWriteTime(const std::wstring& path, FILETIME time);
FILETIME MakeFileTime(int year, int month, int day, int hour, int minute, int second, int milliseconds = 0);
// Content that compresses poorly, so sizes stay predictable.
std::string NoiseBytes(size_t size, uint32_t seed);

// What a folder holds, by relative path: files with content, time and attributes.
struct TreeEntry {
    bool directory = false;
    std::string content;
    uint64_t lastWrite = 0;  // 100-ns units
    DWORD attributes = 0;
};
using Tree = std::map<std::wstring, TreeEntry>;
Tree ReadTree(const std::wstring& folder);
// The relative paths below a folder, sorted; and its files alone, with their contents.
std::vector<std::wstring> Names(const std::wstring& folder);
std::map<std::wstring, std::string> Files(const std::wstring& folder);
// Names, kinds and contents equal; times within the tolerance; attributes equal
// in the bits that survive an archive (read-only, hidden, system, archive).
void ExpectSameTree(const Tree& expected, const Tree& actual, uint64_t timeTolerance = 0, bool attributes = true);

// 7-Zip's command line (7z.exe of the library's own package) run in a folder; its
// exit code, or -1 when it did not finish within two minutes.
int Run7z(const std::wstring& arguments, const std::wstring& folder);
// Any program, with a wide command line; its exit code, or -1 after the time-out.
int RunProgram(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder,
               DWORD timeoutMs = 120000);
std::wstring SfxModulePath();
// Files by relative path, written below the folder (their folders made).
void WriteTree(const std::wstring& folder, const std::map<std::wstring, std::string>& files);
// The component's Add of the entries into the archive, below the root; its result.
int32_t PackFiles(const std::wstring& archive, const std::wstring& root, const std::vector<std::wstring>& entries,
                  const std::function<void(TSevenZip&)>& setUp = {});
// The stored paths the component lists, sorted; a directory's ends in "\".
std::vector<std::wstring> ListedNames(const std::wstring& archive, const std::wstring& password = L"");
// An archive of FOLDERS folders "k0000"... of FILES files "plik00000.txt"... each
// holding "pozycja F katalogu D\r\n", written by the benchmarks' itemsarchive.
bool GenerateItemsArchive(const std::wstring& archive, int folders, int files);
// An archive of files stored under exactly the names given ("NAME=TEXT"), in the
// order given, written through the library by itemsarchive.
bool WriteNamedItemsArchive(const std::wstring& archive, const std::vector<std::wstring>& items);

// An archive of one stored file, content.bin (NoiseBytes(contentSize, 7)), written
// by the component below the folder in volumes; the names of the volumes.
std::vector<std::wstring> PackVolumes(const std::wstring& folder, const std::wstring& name, int32_t volumeSize,
                                      size_t contentSize);

// arc.7z in the folder, by 7z.exe: damaged.txt and good.txt stored in one block,
// damaged.txt's bytes then altered (a CRC error), and secret.txt in a block of its
// own encrypted with the password "sekret" (the names stay readable). The three
// contents as packed, by name.
std::map<std::wstring, std::string> MakeMixedArchive(const std::wstring& folder);
// The names in a folder that a staged write leaves while it runs ("~dz*.tmp").
std::vector<std::wstring> TemporaryFiles(const std::wstring& folder);

// A disk of 1 MiB to fill: the file system small_disk_launcher.sh mounted for the
// test program, or, where nothing could be mounted, a folder where, while a
// Filling lives, the writer's seam fails a write with ERROR_DISK_FULL once the
// files written would hold more than a mebibyte. It says which ran.
class SmallDisk {
public:
    SmallDisk();
    bool Mounted() const { return m_mounted; }
    const std::wstring& Folder() const { return m_folder; }

    // The injected disk starts empty with each; the mounted one is as it is.
    class Filling {
    public:
        explicit Filling(const SmallDisk& disk);
        ~Filling();
        Filling(const Filling&) = delete;
        Filling& operator=(const Filling&) = delete;

    private:
        bool m_injected;
    };

private:
    bool m_mounted;
    std::wstring m_folder;
};

// Every message the component reports from now on, recorded. The component's
// handler points at this object, which therefore stays where it was made.
struct Messages {
    explicit Messages(TSevenZip& zip);
    Messages(const Messages&) = delete;
    Messages& operator=(const Messages&) = delete;
    std::vector<int32_t> codes;
    std::vector<std::wstring> files;
    std::vector<std::string> texts;
};
}  // namespace ArchiveTest
