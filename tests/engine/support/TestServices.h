#pragma once
#include <windows.h>

#include <string>

// Services of the prefix's service manager, made and removed by name.
namespace TestServices {
// Made afresh (one of that name goes first), on demand, running the command.
bool Make(const std::string& name, const std::string& command, DWORD type = SERVICE_WIN32_OWN_PROCESS);
void Delete(const std::string& name);
bool Exists(const std::string& name);
}  // namespace TestServices
