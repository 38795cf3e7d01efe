// The file formats write numbers with a full stop, whatever the user's
// regional settings say. The C library's number formatting follows the
// process locale, which a desktop application sets from the environment
// (Qt does, at start), so a Russian desktop would have libxlsxwriter write
// <v>12,3456</v>, which readers take for 12 or refuse. A save therefore runs
// with the classic numeric conventions on its own thread.
#pragma once

namespace spreadsheet {

// While it lives, the calling thread formats and parses numbers in the C
// library's classic "C" way; everything else of the locale (messages among
// them) stays as it was. Restores the thread's previous locale on exit.
class ClassicNumbers {
 public:
  ClassicNumbers();
  ~ClassicNumbers();
  ClassicNumbers(const ClassicNumbers&) = delete;
  ClassicNumbers& operator=(const ClassicNumbers&) = delete;

 private:
  void* previous_ = nullptr;  // the platform's record of the thread's locale
  void* classic_ = nullptr;
  int previousMode_ = 0;
};

}  // namespace spreadsheet
