#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Which file a name leads to, whatever the name: another spelling of it, its short
// 8.3 name, a path through a link or a junction all lead to the same file number.
//
// The number is the one the file system gives the file on its volume (the inode
// under Wine): asked of an open handle it costs no call to the Wine server, where
// the volume's serial number costs a call to the mount manager, two of a file's
// creation. Numbers are compared alone where both files lie below one folder of
// one run; SameFile also compares the volumes.

// 0 when the system gives none.
uint64_t FileNumberOf(HANDLE file);
// Of the file the path leads to, links followed; 0 when there is none.
uint64_t FileNumberOf(const std::wstring& path);
// Whether both paths lead to one file: the same number on the same volume.
bool SameFile(const std::wstring& first, const std::wstring& second);
