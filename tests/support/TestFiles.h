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
void RemoveTree(const std::string& path);
std::string WindowsDirectory();  // without a trailing backslash
// A new empty folder below the temporary folder, named after the test.
std::string FreshTempFolder(const std::string& name);
}  // namespace TestFiles
