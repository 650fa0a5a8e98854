#include "TestServices.h"

#include "framework/ScHandle.h"

namespace TestServices {
bool Make(const std::string& name, const std::string& command, DWORD type) {
    Delete(name);
    ScHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    ScHandle made(::CreateServiceA(manager, name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, type, SERVICE_DEMAND_START,
                                   SERVICE_ERROR_IGNORE, command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    return static_cast<bool>(made);
}

void Delete(const std::string& name) {
    ScHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (ScHandle service(::OpenServiceA(manager, name.c_str(), DELETE)); service) ::DeleteService(service);
}

bool Exists(const std::string& name) {
    ScHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    return static_cast<bool>(ScHandle(::OpenServiceA(manager, name.c_str(), SERVICE_QUERY_STATUS)));
}
}  // namespace TestServices
