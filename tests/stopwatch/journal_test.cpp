// The journal of reads without a window: an entry written from a read and
// read back decodes to the same table on another locale; entries are only
// added, under names of their own, also by writers racing in one second;
// the times set aside are rewritten into their entry alone, which keeps
// everything else; unreadable files are told apart with a reason; a folder
// that cannot be written says why.
#include "stopwatch/journal/journal_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "stopwatch/read_out.h"
#include "tests/support/fake_read_out_ports.h"
#include "tests/support/simulated_stopwatch.h"
#include "tests/support/test_folder.h"

namespace stopwatch::journal {
namespace {

namespace fs = std::filesystem;
using spreadsheet::testing::PathOf;
using spreadsheet::testing::ReadWholeFile;
using spreadsheet::testing::TestFolder;

// A read of answers that take every path of the decoding: the increment
// carrying to 100 s, a digit byte of 18, zero with and without the flag,
// every magnitude.
FinishedRead SampleRead(const std::string& separator, LocalDateTime at = {2024, 5, 24, 13, 45, 0, 180}) {
  SimulatedStopwatch device;
  for (int slot = 0; slot < kSlotCount; ++slot) device.SetSlotTime(slot, 1000003ULL * slot + 7, slot % 3 == 0);
  device.SetSlotTime(0, 999999, 1);
  device.SetSlotDigits(1, {0, 0, 0, 18, 0, 0, 0, 0, 0});
  device.SetSlotTime(2, 0, 1);
  device.SetSlotTime(3, 0, 0);
  FakeReadOutWindow window;
  FixedClock clock("24.05.2024", "13:45:00", separator);
  clock.now = at;
  ReadOutResult result = ReadStopwatch(device, window, clock);
  EXPECT_EQ(result.kind, ReadOutResult::Kind::Completed);
  return std::move(result.read);
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& file : fs::directory_iterator(folder))
    names.insert(spreadsheet::testing::Utf8Path(file.path().filename()));
  return names;
}

class JournalTest : public ::testing::Test {
 protected:
  TestFolder base{"lumetra-journal"};
  // The journal's folder does not exist before the first entry.
  const std::string folder = base / "Документы/Lumetra";
};

TEST_F(JournalTest, AnEntryBringsTheReadBackExactlyOnAnotherLocale) {
  const FinishedRead comma = SampleRead(",");
  EXPECT_EQ(comma.cells[0], "100,0000");
  EXPECT_EQ(comma.cells[1], "180,000");

  const std::string name = WriteEntry(folder, comma);
  EXPECT_EQ(name, "2024-05-24 13-45-00.txt");
  EXPECT_EQ(Names(PathOf(folder)), std::set<std::string>{name}) << "no temporary left behind";
  const std::string text = ReadWholeFile(PathOf(folder) / PathOf(name));
  EXPECT_TRUE(
      text.starts_with("\xEF\xBB\xBFLumetra: журнал считываний\nФормат\t1\n"
                       "Считано\t2024-05-24T13:45:00+03:00\nДесятичный разделитель\t,\nИсключены из расчёта\t\n\n"
                       "№\tВремя, с\tОтвет секундомера\n"
                       "0\t100,0000\t00 09 09 09 09 09 09 00 00 00 01\n"))
      << text.substr(0, 300);

  const std::vector<ListedEntry> listed = ListEntries(folder);
  ASSERT_EQ(listed.size(), 1u);
  ASSERT_TRUE(listed[0].entry) << listed[0].problem;
  EXPECT_EQ(listed[0].fileName, name);
  EXPECT_EQ(listed[0].entry->readAt, comma.readAt);
  EXPECT_EQ(listed[0].entry->answers, comma.answers);

  // Back on a desktop that writes a full stop and its own formats.
  FixedClock dotClock("5/24/2024", "1:45:00 PM", ".");
  const FinishedRead back = ReadOfEntry(*listed[0].entry, dotClock);
  EXPECT_EQ(back.cells, SampleRead(".").cells);
  EXPECT_EQ(back.date, "5/24/2024");
  EXPECT_EQ(back.time, "1:45:00 PM");
  EXPECT_EQ(back.readAt, comma.readAt);
}

TEST_F(JournalTest, EntriesAreOnlyAddedUnderNamesOfTheirOwnNewestFirst) {
  const std::string first = WriteEntry(folder, SampleRead(","));
  const std::string firstBytes = ReadWholeFile(PathOf(folder) / PathOf(first));
  // The same second again, then a later read taken under another offset
  // that is earlier on the local clock, then an earlier one.
  const std::string second = WriteEntry(folder, SampleRead("."));
  const std::string later = WriteEntry(folder, SampleRead(",", {2024, 5, 24, 12, 0, 0, 0}));
  const std::string earlier = WriteEntry(folder, SampleRead(",", {2024, 5, 23, 8, 0, 0, 180}));
  EXPECT_EQ(second, "2024-05-24 13-45-00 (2).txt");
  EXPECT_EQ(ReadWholeFile(PathOf(folder) / PathOf(first)), firstBytes) << "the first entry is untouched";

  std::vector<std::string> order;
  for (const ListedEntry& e : ListEntries(folder)) order.push_back(e.fileName);
  EXPECT_EQ(order, (std::vector<std::string>{later, second, first, earlier}));
}

TEST_F(JournalTest, WritersRacingInOneSecondEachKeepTheirEntry) {
  constexpr int kWriters = 4, kEach = 5;
  const FinishedRead read = SampleRead(",");
  std::vector<std::thread> writers;
  std::vector<std::string> failures(kWriters);
  for (int w = 0; w < kWriters; ++w)
    writers.emplace_back([&, w] {
      try {
        for (int i = 0; i < kEach; ++i) WriteEntry(folder, read);
      } catch (const JournalError& error) {
        failures[w] = error.what();
      }
    });
  for (std::thread& writer : writers) writer.join();
  for (const std::string& failure : failures) EXPECT_EQ(failure, "");
  const std::vector<ListedEntry> listed = ListEntries(folder);
  ASSERT_EQ(listed.size(), static_cast<std::size_t>(kWriters * kEach));
  for (const ListedEntry& e : listed) EXPECT_TRUE(e.entry) << e.fileName << ": " << e.problem;
  EXPECT_EQ(Names(PathOf(folder)).size(), listed.size()) << "no temporary left behind";
}

TEST_F(JournalTest, FilesThatHoldNoEntryAreListedWithTheirReason) {
  const std::string good = WriteEntry(folder, SampleRead(","));
  const std::string text = ReadWholeFile(PathOf(folder) / PathOf(good));
  const auto replacedIn = [](std::string changed, const std::string& from, const std::string& to) {
    changed.replace(changed.find(from), from.size(), to);
    return changed;
  };
  const auto replaced = [&](const std::string& from, const std::string& to) { return replacedIn(text, from, to); };
  struct Case {
    const char* name;
    std::string content;
    const char* problem;  // empty: the entry is readable
  };
  const Case cases[] = {
      {"truncated.txt", text.substr(0, text.size() / 2), "запись оборвана на строке 47"},
      {"cut at a line.txt", text.substr(0, text.find("\n40\t") + 1), "запись оборвана: в ней 40 измерений из 84"},
      {"edited time.txt", replaced("\t100,0000\t", "\t100,0001\t"), "строка 8: время «100,0001» не совпадает"},
      {"edited answer.txt", replaced("00 09 09 09", "00 0G 09 09"), "строка 8: ответ секундомера"},
      {"slot missing.txt", replaced("\n1\t180,000", "\n2\t180,000"), "ожидалось измерение 1"},
      {"empty.txt", "", "файл пуст"},
      {"foreign.xls", std::string("\xD0\xCF\x11\xE0\x00\x01", 6), "это не запись журнала Lumetra"},
      {"newer.txt", replaced("Формат\t1", "Формат\t2"), "более новой версией программы (формат 2)"},
      {"no time.txt", replaced("Считано\t2024-05-24T13:45:00+03:00", "Считано\t2024-02-30T13:45:00+03:00"),
       "время считывания «2024-02-30T13:45:00+03:00» не распознано"},
      {"too large.txt", text + std::string(kMaxEntryBytes, '\n'), "слишком велик"},
      {"set aside twice.txt", replaced("расчёта\t\n", "расчёта\t17 3 3\n"),
       "исключённые из расчёта измерения «17 3 3» не распознаны"},
      {"set aside beyond.txt", replaced("расчёта\t\n", "расчёта\t84\n"), "измерения «84» не распознаны"},
      // What a later version may add, and line ends a spreadsheet may write.
      {"later fields.txt",
       replacedIn(replaced("Считано", "Исключены\t3 17\nСчитано"), "\n№\t", "\nОтметка\t№\t") +
           "\n[Ещё раздел]\n1\t2\n",
       ""},
      {"crlf.txt",
       [&] {
         std::string crlf;
         for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
         return crlf;
       }(),
       ""},
  };
  for (const Case& c : cases) std::ofstream(PathOf(folder) / PathOf(c.name), std::ios::binary) << c.content;
  // Not listed at all: hidden files (an entry being written among them), the system's, folders.
  std::ofstream(PathOf(folder) / ".2024-05-24 13-45-00.txt.tmp-0123456789ab") << text.substr(0, 10);
  std::ofstream(PathOf(folder) / "desktop.ini") << "[.ShellClassInfo]";
  fs::create_directory(PathOf(folder) / "Старое");

  std::map<std::string, std::string> problems;
  for (const ListedEntry& e : ListEntries(folder)) problems[e.fileName] = e.entry ? "" : e.problem;
  EXPECT_EQ(problems.size(), std::size(cases) + 1);
  EXPECT_EQ(problems[good], "");
  for (const Case& c : cases) {
    ASSERT_TRUE(problems.count(c.name)) << c.name;
    EXPECT_TRUE(problems[c.name].find(c.problem) != std::string::npos || (!*c.problem && problems[c.name].empty()))
        << c.name << ": \"" << problems[c.name] << "\", expected \"" << c.problem << "\"";
  }
  // The unreadable ones come last, by name.
  const std::vector<ListedEntry> listed = ListEntries(folder);
  EXPECT_TRUE(listed.front().entry);
  EXPECT_EQ(listed.back().fileName, "truncated.txt");
}

TEST_F(JournalTest, AFolderThatCannotBeMadeSaysWhyAndListsAsAnError) {
  // A file where a folder of the path should be.
  std::ofstream(PathOf(base / "Документы")) << "not a folder";
  try {
    WriteEntry(folder, SampleRead(","));
    ADD_FAILURE() << "written into " << folder;
  } catch (const JournalError& error) {
    const std::string message = error.what();
    EXPECT_TRUE(message.starts_with("Не удалось записать журнал в папку «" + folder + "»: ")) << message;
    EXPECT_GT(message.size(), std::string("Не удалось записать журнал в папку «" + folder + "»: ").size() + 3)
        << "the system's reason follows";
  }
  EXPECT_EQ(Names(base.Path()), std::set<std::string>{"Документы"});
}

TEST_F(JournalTest, TimesSetAsideAreRewrittenIntoTheirEntryAndNothingElse) {
  const std::string path = base / ("Документы/Lumetra/" + WriteEntry(folder, SampleRead(",")));
  const std::string written = ReadWholeFile(PathOf(path));
  const Entry entry = *ReadEntryFile(path).entry;
  EXPECT_TRUE(entry.excluded.Empty()) << "a fresh read has none";
  const auto withField = [](std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
  };

  ExcludedSlots aside;
  for (const int slot : {83, 3, 17}) aside.Exclude(slot);
  RewriteExclusions(path, entry, aside);
  EXPECT_EQ(ReadWholeFile(PathOf(path)), withField(written, "расчёта\t\n", "расчёта\t3 17 83\n"));
  const std::vector<ListedEntry> listed = ListEntries(folder);
  ASSERT_EQ(listed.size(), 1u) << "no temporary left behind";
  ASSERT_TRUE(listed[0].entry) << listed[0].problem;
  FixedClock clock("24.05.2024", "13:45:00", ".");
  EXPECT_EQ(ReadOfEntry(*listed[0].entry, clock).excluded, aside) << "they come back with the read";
  RewriteExclusions(path, entry, ExcludedSlots());
  EXPECT_EQ(ReadWholeFile(PathOf(path)), written);

  // An entry of an earlier version has no such field and none set aside;
  // the field goes in after the separator's, and the line ends, a field of
  // a later version and a column after the value stay as they were.
  std::string earlier;
  for (const char c : withField(written, "Исключены из расчёта\t\n", ""))
    earlier += c == '\n' ? std::string("\r\n") : std::string(1, c);
  earlier = withField(earlier, "Формат\t1\r\n", "Формат\t1\r\nОтметка\tдругая\tпрограмма\r\n");
  const std::string earlierPath = base / "Документы/Lumetra/earlier.txt";
  std::ofstream(PathOf(earlierPath), std::ios::binary) << earlier;
  const ListedEntry old = ReadEntryFile(earlierPath);
  ASSERT_TRUE(old.entry) << old.problem;
  EXPECT_TRUE(old.entry->excluded.Empty());
  RewriteExclusions(earlierPath, *old.entry, aside);
  const std::string added =
      withField(earlier, "разделитель\t,\r\n", "разделитель\t,\r\nИсключены из расчёта\t3 17 83\r\n");
  EXPECT_EQ(ReadWholeFile(PathOf(earlierPath)), added);
  std::ofstream(PathOf(earlierPath), std::ios::binary) << withField(added, "83\r", "83\tзаметка\r");
  RewriteExclusions(earlierPath, *old.entry, ExcludedSlots());
  EXPECT_EQ(ReadWholeFile(PathOf(earlierPath)), withField(added, "3 17 83\r", "\tзаметка\r"));

  // A file that holds another read since, or has gone, or cannot be
  // replaced, is left as it is, and the error says why.
  const auto failure = [&](const std::string& file, const Entry& of) {
    try {
      RewriteExclusions(file, of, aside);
    } catch (const JournalError& error) {
      return std::string(error.what());
    }
    return std::string("rewritten");
  };
  const std::string before = ReadWholeFile(PathOf(earlierPath));
  const std::string other =
      base / ("Документы/Lumetra/" + WriteEntry(folder, SampleRead(",", {2024, 5, 25, 9, 0, 0, 180})));
  const std::string otherBytes = ReadWholeFile(PathOf(other));
  EXPECT_EQ(failure(other, entry), "Не удалось записать исключённые из расчёта времена в журнал, в файл «" + other +
                                       "»: в нём теперь другое считывание");
  EXPECT_EQ(ReadWholeFile(PathOf(other)), otherBytes);
  fs::remove(PathOf(path));
  EXPECT_TRUE(failure(path, entry).ends_with("»: файла больше нет")) << failure(path, entry);
  EXPECT_FALSE(fs::exists(PathOf(path)));
  const auto held =
      spreadsheet::testing::WhileUnreplaceable(PathOf(earlierPath), [&] { return failure(earlierPath, *old.entry); });
  if (held) {
    EXPECT_TRUE(held->starts_with("Не удалось записать исключённые")) << *held;
  }
  EXPECT_EQ(ReadWholeFile(PathOf(earlierPath)), before);
}

TEST(LocalTime, Iso8601TextsAndTheirMoments) {
  const LocalDateTime moscow{2024, 5, 24, 13, 45, 7, 180};
  EXPECT_EQ(FormatIso8601(moscow), "2024-05-24T13:45:07+03:00");
  EXPECT_EQ(FormatIso8601({1999, 12, 31, 23, 0, 0, -570}), "1999-12-31T23:00:00-09:30");
  EXPECT_EQ(ParseIso8601("2024-05-24T13:45:07+03:00"), moscow);
  EXPECT_EQ(ParseIso8601("2024-05-24T10:45:07Z")->UtcSeconds(), moscow.UtcSeconds());
  EXPECT_EQ(ParseIso8601("1970-01-01T00:00:00Z")->UtcSeconds(), 0);
  EXPECT_EQ(ParseIso8601("2024-02-29T00:00:00Z")->day, 29);
  for (const char* bad :
       {"2023-02-29T00:00:00Z", "2024-13-01T00:00:00Z", "2024-05-24T24:00:00Z", "2024-05-24 13:45:07+03:00",
        "2024-05-24T13:45:07", "2024-05-24T13:45:07+3:00", "2024-05-24T13:45:07+03:00x", "24.05.2024"})
    EXPECT_FALSE(ParseIso8601(bad)) << bad;
}

}  // namespace
}  // namespace stopwatch::journal
