// What the shipped library does with the component's objects: the facts the
// reader's design rests on, checked against the real 7za.dll.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "archive/ComObject.h"
#include "archive/OpenCallback.h"
#include "archive/StreamReader.h"
#include "support/ArchiveTestSupport.h"

using namespace ArchiveTest;

namespace {
// Passes every call to a component reader and notes the calls and the interfaces
// the library asks for.
class RecordingStream final : public ComObject<IInStream, IStreamGetSize> {
public:
    explicit RecordingStream(IInStream* inner) : m_inner(inner) {
        m_inner->QueryInterface(IStreamGetSize::Iid, m_innerSize.ReceiveVoid());
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown) asked.push_back(iid);
        return ComObject::QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE Read(void* data, UINT32 size, UINT32* processed) override {
        calls.push_back("Read");
        return m_inner->Read(data, size, processed);
    }
    HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 origin, UINT64* position) override {
        calls.push_back(origin == STREAM_SEEK_END ? "SeekEnd" : "Seek");
        return m_inner->Seek(offset, origin, position);
    }
    HRESULT STDMETHODCALLTYPE GetSize(UINT64* size) override {
        calls.push_back("GetSize");
        return m_innerSize->GetSize(size);
    }

    std::vector<GUID> asked;
    std::vector<std::string> calls;

private:
    ComPtr<IInStream> m_inner;
    ComPtr<IStreamGetSize> m_innerSize;
};

size_t FirstIndex(const std::vector<std::string>& calls, const std::string& name) {
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i] == name) return i;
    return calls.size();
}
}  // namespace

TEST(LibraryBehaviour, AsksForTheSizeBeforeReadingWhenOpening) {
    std::wstring folder = FreshFolder(L"library-open");
    WriteFile(folder + L"\\a.txt", "some text to pack");
    ASSERT_EQ(Run7z(L"a -t7z one.7z a.txt", folder), 0);

    TSevenZip zip(nullptr);
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(&zip.Host(), TReaderVolumes::MultiVolume, folder + L"\\one.7z"));
    ComPtr<RecordingStream> stream(new RecordingStream(reader.Get()));
    ComPtr<TMyArchiveOpenCallback> callback(
        new TMyArchiveOpenCallback(std::make_shared<TOperationPassword>(&zip.Host(), zip.Password)));
    ASSERT_EQ(zip.InArchive()->Open(stream.Get(), nullptr, callback.Get()), S_OK);
    UINT32 count = 0;
    zip.InArchive()->GetNumberOfItems(&count);
    EXPECT_EQ(count, 1u);
    zip.InArchive()->Close();

    // 7-Zip 26.03 asks for the size before its first read, through IStreamGetSize:
    // a reader that could only learn its size by reading would fail here.
    size_t firstRead = FirstIndex(stream->calls, "Read");
    size_t firstSize = std::min(FirstIndex(stream->calls, "SeekEnd"), FirstIndex(stream->calls, "GetSize"));
    EXPECT_LT(firstSize, firstRead);
    EXPECT_NE(std::find(stream->asked.begin(), stream->asked.end(), IStreamGetSize::Iid), stream->asked.end());
}

TEST(LibraryBehaviour, GetsNoAnswerForInterfacesTheStreamsDoNotOffer) {
    TSevenZip zip(nullptr);
    ComPtr<TMyStreamReader> reader(new TMyStreamReader(nullptr, TReaderVolumes::OneFile, L"missing.bin"));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(reader->QueryInterface(sevenzip::InterfaceId(0x03, 0x08), &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(reader->QueryInterface(IOutStream::Iid, &out), E_NOINTERFACE);
    ComPtr<ISequentialInStream> sequential;
    ASSERT_EQ(reader->QueryInterface(ISequentialInStream::Iid, sequential.ReceiveVoid()), S_OK);
    ComPtr<IInStream> full;
    ASSERT_EQ(reader->QueryInterface(IInStream::Iid, full.ReceiveVoid()), S_OK);
    EXPECT_EQ(static_cast<void*>(sequential.Get()), static_cast<void*>(full.Get()));  // one table for both
}

TEST(LibraryBehaviour, ReportsAddProgressOnTheCallersThread) {
    std::wstring folder = FreshFolder(L"library-threads");
    WriteFile(folder + L"\\big.bin", NoiseBytes(8 << 20, 1));
    WriteFile(folder + L"\\b.txt", std::string(3 << 20, 'x'));
    TSevenZip zip(nullptr);
    zip.LZMACompressStrength = TCompressStrength::FAST;
    std::set<DWORD> threads;
    zip.OnProgress = [&](TObject*, const std::wstring&, uint64_t, uint64_t) { threads.insert(::GetCurrentThreadId()); };
    zip.OnAddfile = [&](TObject*, const std::wstring&, uint64_t) { threads.insert(::GetCurrentThreadId()); };
    zip.SZFileName = folder + L"\\out.7z";
    zip.Files.Add(folder + L"\\big.bin");
    zip.Files.Add(folder + L"\\b.txt");
    EXPECT_EQ(zip.Add(), 0);
    // Progress arrives on the caller's thread, so a handler may pump its window.
    EXPECT_EQ(threads, std::set<DWORD>{::GetCurrentThreadId()});
    EXPECT_EQ(Run7z(L"t out.7z", folder), 0);
}
