// Linux and other systems without structured storage of their own: the
// container is written by libgsf's MS-OLE writer: version 3 with 512-byte
// sectors, streams under 4096 bytes placed in the mini stream as the format
// requires, FAT sectors marked as such and every chain exactly as long as its
// stream.
#include "export/spreadsheet/xls/compound_file.h"

#include <gsf/gsf.h>

#include <memory>
#include <mutex>

#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet::xls {
namespace {

struct Unref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GsfPtr = std::unique_ptr<T, Unref>;

[[noreturn]] void Fail() { throw SpreadsheetError("Не удалось собрать контейнер файла Excel 97-2003"); }

}  // namespace

std::vector<std::uint8_t> PackWorkbookStream(const std::vector<std::uint8_t>& workbookStream) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { gsf_init(); });

  GsfPtr<GsfOutput> memory(gsf_output_memory_new());
  GsfPtr<GsfOutfile> storage(gsf_outfile_msole_new(memory.get()));
  if (!memory || !storage) Fail();
  gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(storage.get()), kExcelWorkbookClassId);
  {
    GsfPtr<GsfOutput> stream(gsf_outfile_new_child(storage.get(), "Workbook", FALSE));
    if (!stream) Fail();
    const bool written = gsf_output_write(stream.get(), workbookStream.size(), workbookStream.data());
    if (!gsf_output_close(stream.get()) || !written) Fail();
  }
  // Closing the storage writes the directory and the allocation tables and
  // closes the memory sink under it.
  if (!gsf_output_close(GSF_OUTPUT(storage.get()))) Fail();
  const gsf_off_t size = gsf_output_size(memory.get());
  const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory.get()));
  if (size <= 0 || !bytes) Fail();
  return {bytes, bytes + size};
}

}  // namespace spreadsheet::xls
