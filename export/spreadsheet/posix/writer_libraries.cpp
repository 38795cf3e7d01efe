// libgsf (the .xls container) and libxlsxwriter (.xlsx), loaded at the first
// save that needs them rather than with the program: together with what they
// bring (GObject, GIO, libxml2, minizip and a dozen more) they would be a
// good part of the program's start, for a window that mostly only reads.
//
// The writers call them as they are declared in their own headers; the
// definitions here forward each call to the library's function, bound by
// name at the first call, and the compiler holds each definition to its
// header's declaration. Bound through the library's own handle, a name
// always finds the library's function, never the one here.
#include <dlfcn.h>
#include <gsf/gsf.h>
#include <xlsxwriter.h>

#include <mutex>
#include <string>

#include "export/spreadsheet/spreadsheet_error.h"

namespace spreadsheet {
namespace {

// One library, opened at its first use and kept; a library that cannot be
// opened, or lacks a function, fails the save that needs it with the reason
// (and the next save tries again).
class Library {
 public:
  explicit Library(const char* name) : name_(name) {}

  void* Symbol(const char* name) {
    std::lock_guard lock(mutex_);
    if (handle_ == nullptr) handle_ = dlopen(name_, RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw SpreadsheetError("Не удалось загрузить библиотеку " + std::string(name_));
    void* function = dlsym(handle_, name);
    if (function == nullptr)
      throw SpreadsheetError("В библиотеке " + std::string(name_) + " нет функции " + std::string(name));
    return function;
  }

 private:
  const char* name_;
  std::mutex mutex_;
  void* handle_ = nullptr;
};

// The libraries by the names the build found them under (their sonames).
Library& Gsf() {
  static Library library(LUMETRA_GSF_LIBRARY);
  return library;
}
Library& XlsxWriter() {
  static Library library(LUMETRA_XLSXWRITER_LIBRARY);
  return library;
}

// Calls the library's `Function` (this file's own definition of it names its
// type), bound at its first call.
template <auto Function, typename... Args>
auto Forward(Library& library, const char* name, Args... args) {
  static const auto bound = reinterpret_cast<decltype(Function)>(library.Symbol(name));
  return bound(args...);
}

}  // namespace
}  // namespace spreadsheet

using spreadsheet::Forward;
using spreadsheet::Gsf;
using spreadsheet::XlsxWriter;

#define LUMETRA_GSF(name, ...) return Forward<&name>(Gsf(), #name __VA_OPT__(, ) __VA_ARGS__)
#define LUMETRA_XLSX(name, ...) return Forward<&name>(XlsxWriter(), #name __VA_OPT__(, ) __VA_ARGS__)

// libgsf, and the GObject functions its headers' casts and its objects need
// (found through libgsf, which depends on GObject).
void gsf_init() { LUMETRA_GSF(gsf_init); }
GsfOutput* gsf_output_memory_new() { LUMETRA_GSF(gsf_output_memory_new); }
GsfOutfile* gsf_outfile_msole_new(GsfOutput* sink) { LUMETRA_GSF(gsf_outfile_msole_new, sink); }
gboolean gsf_outfile_msole_set_class_id(GsfOutfileMSOle* storage, guint8 const* classId) {
  LUMETRA_GSF(gsf_outfile_msole_set_class_id, storage, classId);
}
GsfOutput* gsf_outfile_new_child(GsfOutfile* storage, char const* name, gboolean isDirectory) {
  LUMETRA_GSF(gsf_outfile_new_child, storage, name, isDirectory);
}
gboolean gsf_output_write(GsfOutput* output, size_t size, guint8 const* data) {
  LUMETRA_GSF(gsf_output_write, output, size, data);
}
gboolean gsf_output_close(GsfOutput* output) { LUMETRA_GSF(gsf_output_close, output); }
gsf_off_t gsf_output_size(GsfOutput* output) { LUMETRA_GSF(gsf_output_size, output); }
const guint8* gsf_output_memory_get_bytes(GsfOutputMemory* memory) { LUMETRA_GSF(gsf_output_memory_get_bytes, memory); }
GType gsf_output_get_type() { LUMETRA_GSF(gsf_output_get_type); }
GType gsf_output_memory_get_type() { LUMETRA_GSF(gsf_output_memory_get_type); }
GType gsf_outfile_msole_get_type() { LUMETRA_GSF(gsf_outfile_msole_get_type); }
GTypeInstance* g_type_check_instance_cast(GTypeInstance* instance, GType type) {
  LUMETRA_GSF(g_type_check_instance_cast, instance, type);
}
void g_object_unref(gpointer object) { LUMETRA_GSF(g_object_unref, object); }

// libxlsxwriter.
lxw_workbook* workbook_new(const char* filename) { LUMETRA_XLSX(workbook_new, filename); }
lxw_worksheet* workbook_add_worksheet(lxw_workbook* workbook, const char* name) {
  LUMETRA_XLSX(workbook_add_worksheet, workbook, name);
}
lxw_format* workbook_add_format(lxw_workbook* workbook) { LUMETRA_XLSX(workbook_add_format, workbook); }
lxw_error workbook_close(lxw_workbook* workbook) { LUMETRA_XLSX(workbook_close, workbook); }
char* lxw_strerror(lxw_error error) { LUMETRA_XLSX(lxw_strerror, error); }
void format_set_font_name(lxw_format* format, const char* name) { LUMETRA_XLSX(format_set_font_name, format, name); }
void format_set_font_size(lxw_format* format, double size) { LUMETRA_XLSX(format_set_font_size, format, size); }
void format_set_bold(lxw_format* format) { LUMETRA_XLSX(format_set_bold, format); }
void format_set_pattern(lxw_format* format, uint8_t index) { LUMETRA_XLSX(format_set_pattern, format, index); }
void format_set_bg_color(lxw_format* format, lxw_color_t color) { LUMETRA_XLSX(format_set_bg_color, format, color); }
void format_set_align(lxw_format* format, uint8_t value) { LUMETRA_XLSX(format_set_align, format, value); }
void format_set_num_format_index(lxw_format* format, uint8_t index) {
  LUMETRA_XLSX(format_set_num_format_index, format, index);
}
void format_set_num_format(lxw_format* format, const char* numberFormat) {
  LUMETRA_XLSX(format_set_num_format, format, numberFormat);
}
void format_set_border(lxw_format* format, uint8_t style) { LUMETRA_XLSX(format_set_border, format, style); }
void format_set_text_wrap(lxw_format* format) { LUMETRA_XLSX(format_set_text_wrap, format); }
void worksheet_set_landscape(lxw_worksheet* worksheet) { LUMETRA_XLSX(worksheet_set_landscape, worksheet); }
void worksheet_set_portrait(lxw_worksheet* worksheet) { LUMETRA_XLSX(worksheet_set_portrait, worksheet); }
lxw_error worksheet_set_column(lxw_worksheet* worksheet, lxw_col_t first, lxw_col_t last, double width,
                               lxw_format* format) {
  LUMETRA_XLSX(worksheet_set_column, worksheet, first, last, width, format);
}
lxw_error worksheet_set_row(lxw_worksheet* worksheet, lxw_row_t row, double height, lxw_format* format) {
  LUMETRA_XLSX(worksheet_set_row, worksheet, row, height, format);
}
lxw_error worksheet_merge_range(lxw_worksheet* worksheet, lxw_row_t firstRow, lxw_col_t firstColumn, lxw_row_t lastRow,
                                lxw_col_t lastColumn, const char* text, lxw_format* format) {
  LUMETRA_XLSX(worksheet_merge_range, worksheet, firstRow, firstColumn, lastRow, lastColumn, text, format);
}
lxw_error worksheet_write_number(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t column, double number,
                                 lxw_format* format) {
  LUMETRA_XLSX(worksheet_write_number, worksheet, row, column, number, format);
}
lxw_error worksheet_write_string(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t column, const char* text,
                                 lxw_format* format) {
  LUMETRA_XLSX(worksheet_write_string, worksheet, row, column, text, format);
}
lxw_error worksheet_write_blank(lxw_worksheet* worksheet, lxw_row_t row, lxw_col_t column, lxw_format* format) {
  LUMETRA_XLSX(worksheet_write_blank, worksheet, row, column, format);
}
