#pragma once
#include <windows.h>

#include <string>

// Real files and folders for tests, through the platform's API.
namespace TestFiles {
bool Write(const std::string& path, const std::string& content);
std::string Read(const std::string& path);
bool Exists(const std::string& path);
bool IsDirectory(const std::string& path);
// Creates the folder and every missing parent.
bool MakeDirectories(const std::string& path);
// Removes a folder with its content, read-only files included; missing is fine.
// A link to a folder goes as a link (Wine would otherwise take what it leads to).
void RemoveTree(const std::string& path);
// A symbolic link of the Unix side, as a prefix may hold: Wine shows one to a
// folder as a reparse point by its name and one to a file as that file. Only
// under Wine (false elsewhere); the target must lie in the prefix.
bool MakeUnixLink(const std::string& target, const std::string& link);
bool RemoveUnixLink(const std::string& link);
// Another name of the prefix for a folder: a drive letter ("y:") or an
// administrative share ("unc/localhost/c$"), a link under its dosdevices.
// `visible` is a path that the new name makes (or, removed, unmakes).
bool MakeDosDevice(const std::string& name, const std::string& target, const std::string& visible);
bool RemoveDosDevice(const std::string& name, const std::string& visible);
// The short ("8.3") name of a path where it has one, the path otherwise.
std::string ShortPath(const std::string& path);
std::string WindowsDirectory();  // without a trailing backslash
// A new empty folder below the temporary folder, named after the test.
// An empty folder where products go (a temporary folder is none of a product's).
std::string FreshProductFolder(const std::string& name);
std::string FreshTempFolder(const std::string& name);
}  // namespace TestFiles
