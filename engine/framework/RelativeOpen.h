#pragma once
#include <windows.h>
#include <winternl.h>

#include <string>

// A folder's entry opened through the folder's own handle (no path walked again),
// without following a link of its own; shared by everything that deletes.
inline NTSTATUS OpenRelative(HANDLE folder, const std::wstring& name, ACCESS_MASK access, HANDLE& opened) {
    UNICODE_STRING text{};
    text.Buffer = const_cast<wchar_t*>(name.c_str());
    text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof attributes;
    attributes.RootDirectory = folder;
    attributes.ObjectName = &text;
    attributes.Attributes = OBJ_CASE_INSENSITIVE;
    IO_STATUS_BLOCK status{};
    opened = nullptr;
    return ::NtOpenFile(&opened, access, &attributes, &status, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_SYNCHRONOUS_IO_NONALERT);
}
