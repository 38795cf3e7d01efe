// Windows: the container is built by the system's structured storage (ole32),
// the implementation Excel itself reads. It is built in memory, so that its
// bytes take the same atomic way to the disk as the .xls written elsewhere.
// Structured storage needs no COM apartment.
//
// The memory is the program's own, zero-filled as it grows, as a new file
// reads: the storage leaves parts of a sector it never writes (unused
// directory entries), and the system's memory on HGLOBAL would hand
// whatever the heap held there to the file.
#include "export/spreadsheet/xls/compound_file.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet::xls {
namespace {

// One interface reference, released at the end of the scope.
template <class Interface>
class Held {
 public:
  Held() = default;
  ~Held() { Release(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  Interface** Out() { return &object_; }
  Interface* operator->() const { return object_; }
  void Release() {
    if (object_ != nullptr) object_->Release();
    object_ = nullptr;
  }

 private:
  Interface* object_ = nullptr;
};

constexpr IID kUnknownIid = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kLockBytesIid = {0x0000000A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// A byte array in memory for the storage to live on. It lives on the stack
// of PackWorkbookStream and outlives every reference the storage takes.
class MemoryBytes final : public ILockBytes {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(riid, kUnknownIid) && !IsEqualIID(riid, kLockBytesIid)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  HRESULT STDMETHODCALLTYPE ReadAt(ULARGE_INTEGER offset, void* data, ULONG size, ULONG* read) override {
    // In 64 bits: on 32-bit Windows size_t would cut a far offset short.
    const auto from = static_cast<std::size_t>(std::min<ULONGLONG>(offset.QuadPart, bytes_.size()));
    const std::size_t count = std::min<std::size_t>(size, bytes_.size() - from);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(from), count, static_cast<std::uint8_t*>(data));
    if (read != nullptr) *read = static_cast<ULONG>(count);
    return S_OK;
  }
  // The storage calls these through the system's own code, which no C++
  // exception may unwind through (a 32-bit program ends if one tries): a
  // failure is told by the result.
  HRESULT STDMETHODCALLTYPE WriteAt(ULARGE_INTEGER offset, const void* data, ULONG size, ULONG* written) override {
    const ULONGLONG end = offset.QuadPart + size;
    if (end < offset.QuadPart || end > bytes_.max_size()) return STG_E_MEDIUMFULL;
    if (end > bytes_.size() && !Resize(static_cast<std::size_t>(end))) return STG_E_MEDIUMFULL;  // zero-filled
    std::copy_n(static_cast<const std::uint8_t*>(data), size,
                bytes_.begin() + static_cast<std::ptrdiff_t>(offset.QuadPart));
    if (written != nullptr) *written = size;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Flush() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
    if (size.QuadPart > bytes_.max_size()) return STG_E_MEDIUMFULL;
    return Resize(static_cast<std::size_t>(size.QuadPart)) ? S_OK : STG_E_MEDIUMFULL;
  }
  // Nobody else can reach this memory: there is nothing to lock against.
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* status, DWORD) override {
    if (status == nullptr) return STG_E_INVALIDPOINTER;
    *status = STATSTG{};
    status->type = STGTY_LOCKBYTES;
    status->cbSize.QuadPart = bytes_.size();
    return S_OK;
  }

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  ULONG References() const { return references_; }

 private:
  bool Resize(std::size_t size) {
    try {
      bytes_.resize(size);
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }

  std::vector<std::uint8_t> bytes_;
  ULONG references_ = 0;
};

void Check(HRESULT result) {
  if (FAILED(result)) throw SpreadsheetError("Не удалось собрать контейнер файла Excel 97-2003");
}

}  // namespace

std::vector<std::uint8_t> PackWorkbookStream(const std::vector<std::uint8_t>& workbookStream) {
  if (workbookStream.size() > std::numeric_limits<ULONG>::max()) Check(STG_E_MEDIUMFULL);
  MemoryBytes memory;
  {
    Held<IStorage> storage;
    Check(StgCreateDocfileOnILockBytes(&memory, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage.Out()));
    CLSID workbookClass;
    std::memcpy(&workbookClass, kExcelWorkbookClassId, sizeof workbookClass);
    Check(storage->SetClass(workbookClass));
    Held<IStream> stream;
    Check(storage->CreateStream(L"Workbook", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.Out()));
    ULONG written = 0;
    Check(stream->Write(workbookStream.data(), static_cast<ULONG>(workbookStream.size()), &written));
    if (written != workbookStream.size()) Check(STG_E_WRITEFAULT);
    stream.Release();
    // Writes the directory and the allocation tables into the memory.
    Check(storage->Commit(STGC_DEFAULT));
  }
  // The storage has let go of the memory; anything else is a fault of ours.
  if (memory.References() != 0 || memory.Bytes().empty()) Check(E_UNEXPECTED);
  return memory.Bytes();
}

}  // namespace spreadsheet::xls
