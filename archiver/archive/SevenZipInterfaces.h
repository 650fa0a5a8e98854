#pragma once
// The 7-Zip library's object interfaces, declared from its published API. Slot
// order matters: the library calls through these tables by position.
#include <windows.h>
#include <unknwn.h>
#include <oleauto.h>
#include <propidl.h>

#include <cstdint>

namespace sevenzip {

// Every identifier of the library has the form {23170F69-40C1-278A-0000-00GG00NN0000}.
constexpr GUID InterfaceId(uint8_t group, uint8_t number) {
    return GUID{0x23170F69, 0x40C1, 0x278A, {0x00, 0x00, 0x00, group, 0x00, number, 0x00, 0x00}};
}

constexpr GUID CLSID_Format7z{0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, 0x07, 0x00, 0x00}};

using CreateObjectFunction = HRESULT(WINAPI*)(const GUID* classId, const GUID* interfaceId, void** out);

// Property ids and value conventions of the library.
enum PropertyId : PROPID {
    kpidPath = 3,
    kpidIsDir = 6,
    kpidSize = 7,
    kpidPackSize = 8,
    kpidAttrib = 9,
    kpidCTime = 10,
    kpidATime = 11,
    kpidMTime = 12,
    kpidEncrypted = 15,
    kpidCRC = 19,
    kpidIsAnti = 21,
    kpidMethod = 22,
};

enum AskMode : int32_t { kExtract = 0, kTest = 1, kSkip = 2 };

enum class OperationResult : int32_t { OK = 0, UnsupportedMethod = 1, DataError = 2, CRCError = 3, WrongPassword = 9 };

}  // namespace sevenzip

// Each interface names its identifier and the interface it extends, so that one
// QueryInterface (ComObject.h) answers exactly the tables an object offers.
struct IProgress : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x00, 0x05);
    virtual HRESULT STDMETHODCALLTYPE SetTotal(UINT64 total) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* completed) = 0;
};

struct ISequentialInStream : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x03, 0x01);
    virtual HRESULT STDMETHODCALLTYPE Read(void* data, UINT32 size, UINT32* processed) = 0;
};

struct ISequentialOutStream : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x03, 0x02);
    virtual HRESULT STDMETHODCALLTYPE Write(const void* data, UINT32 size, UINT32* processed) = 0;
};

struct IInStream : public ISequentialInStream {
    using Extends = ISequentialInStream;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x03, 0x03);
    virtual HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 origin, UINT64* newPosition) = 0;
};

struct IOutStream : public ISequentialOutStream {
    using Extends = ISequentialOutStream;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x03, 0x04);
    virtual HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 origin, UINT64* newPosition) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSize(UINT64 newSize) = 0;
};

struct IStreamGetSize : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x03, 0x06);
    virtual HRESULT STDMETHODCALLTYPE GetSize(UINT64* size) = 0;
};

struct ICryptoGetTextPassword : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x05, 0x10);
    virtual HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) = 0;
};

struct ICryptoGetTextPassword2 : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x05, 0x11);
    virtual HRESULT STDMETHODCALLTYPE CryptoGetTextPassword2(INT32* passwordIsDefined, BSTR* password) = 0;
};

struct ISetProperties : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x06, 0x03);
    virtual HRESULT STDMETHODCALLTYPE SetProperties(const wchar_t* const* names, const PROPVARIANT* values,
                                                    UINT32 count) = 0;
};

struct IArchiveOpenCallback : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x06, 0x10);
    virtual HRESULT STDMETHODCALLTYPE SetTotal(const UINT64* files, const UINT64* bytes) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* files, const UINT64* bytes) = 0;
};

struct IArchiveExtractCallback : public IProgress {
    using Extends = IProgress;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x06, 0x20);
    virtual HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialOutStream** out, INT32 askMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrepareOperation(INT32 askMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 result) = 0;
};

struct IInArchive : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x06, 0x60);
    virtual HRESULT STDMETHODCALLTYPE Open(IInStream* stream, const UINT64* maxCheckStartPosition,
                                           IArchiveOpenCallback* callback) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfItems(UINT32* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(UINT32 index, PROPID id, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Extract(const UINT32* indices, UINT32 count, INT32 testMode,
                                              IArchiveExtractCallback* callback) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetArchiveProperty(PROPID id, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfProperties(UINT32* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyInfo(UINT32 index, BSTR* name, PROPID* id, VARTYPE* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfArchiveProperties(UINT32* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetArchivePropertyInfo(UINT32 index, BSTR* name, PROPID* id,
                                                             VARTYPE* type) = 0;
};

struct IArchiveUpdateCallback : public IProgress {
    using Extends = IProgress;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x06, 0x80);
    virtual HRESULT STDMETHODCALLTYPE GetUpdateItemInfo(UINT32 index, INT32* newData, INT32* newProperties,
                                                        UINT32* indexInArchive) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(UINT32 index, PROPID id, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialInStream** in) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 result) = 0;
};

struct IOutArchive : public IUnknown {
    using Extends = IUnknown;
    static constexpr GUID Iid = sevenzip::InterfaceId(0x06, 0xA0);
    virtual HRESULT STDMETHODCALLTYPE UpdateItems(ISequentialOutStream* out, UINT32 count,
                                                  IArchiveUpdateCallback* callback) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileTimeType(UINT32* type) = 0;
};
