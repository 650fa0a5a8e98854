#pragma once
#include <string>

// The program a command line starts, where the system would find it: a service's
// ImagePath or a value under Run. Environment strings are expanded, a quoted
// program is taken up to its closing quote, and an unquoted one is read as the
// system reads it, name by name up to the first blank that ends an existing
// file (".exe" added to a name without an extension); the kernel's forms
// "\SystemRoot\", "\??\" and a driver's "System32\..." name places in the
// Windows folder or the drive as they do at boot. The canonical path
// (CanonicalPath.h); empty when the command names no full path of a program.
std::string ProgramOfCommand(const std::wstring& command);
