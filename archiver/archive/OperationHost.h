#pragma once
#include <cstdint>
#include <string>

#include "RestoredFiles.h"

enum class TPasswordAnswer { NobodyToAsk, Given, Declined };

// What the component's streams and callbacks report and ask while an operation
// runs, and all they know of the component, which answers: each report is a call
// at the moment it happens, on the thread the library calls them on.
class TOperationHost {
public:
    // Set: the next progress report stops the operation.
    virtual bool CancelRequested() const = 0;
    // An error of the operation with the file it concerns and, when a system
    // call failed, the system's error code.
    virtual void ReportError(int32_t code, const std::wstring& fileName, uint32_t reason = 0) = 0;
    // A failure the operation's result tells of (a read of the archive that the
    // library then reports), with the system's error code.
    virtual void SystemError(uint32_t reason) = 0;

    // The bytes of the whole operation; an item begun (again, while none of its
    // bytes are counted); the bytes done in the operation and in the item.
    virtual void TotalKnown(uint64_t total) = 0;
    virtual void ItemStarted(const std::wstring& path, uint64_t size) = 0;
    virtual void Progress(const std::wstring& path, uint64_t done, uint64_t doneOfItem) = 0;

    // The user's password for the operation.
    virtual TPasswordAnswer AskPassword(std::wstring& password) = 0;

    // A volume that is not where it was looked for: the program's own handler, when
    // it has one, is told its name (and may change it); without one the user
    // points to it in the standard dialog, titled with the prompt. False when
    // cancelled.
    virtual bool HandlesMissingVolumes() const = 0;
    virtual bool FindVolume(std::wstring& name, bool removable, const wchar_t* prompt) = 0;

    // The program's say in names: the stored path of an item being added, the
    // output path of an item being restored; and, with overwriting off, whether
    // an existing output is replaced (no handler: it is not).
    virtual void NameStored(uint32_t index, std::wstring& path) = 0;
    virtual void NameOutput(uint32_t index, std::wstring& path) = 0;
    virtual bool MayOverwrite(const std::wstring& path) = 0;

    // The files of the restore (RestoredFiles.h): whether an existing output may
    // be replaced, and an item's file put in place.
    virtual TRestoredFiles::TVerdict MayReplace(const std::wstring& path) = 0;
    virtual void Restored(uint64_t fileNumber, uint32_t item) = 0;

protected:
    ~TOperationHost() = default;
};
