#include "stopwatch/journal/journal_folder.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/ascii_case.h"
#include "base/atomic_file.h"

namespace stopwatch::journal {
namespace {

namespace fs = std::filesystem;

// Two programs may write in the same second; a thousand is more than any
// stopwatch can be read in one.
constexpr int kMaxCopies = 1000;
constexpr char kExtension[] = ".txt";

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

bool IsHiddenOrSystem(const std::string& name) {
  return name.empty() || name.front() == '.' || base::EqualsIgnoringAsciiCase(name, "desktop.ini") ||
         base::EqualsIgnoringAsciiCase(name, "Thumbs.db");
}

std::string WriteFailure(const std::string& folder, const std::string& reason) {
  return "Не удалось записать журнал в папку «" + folder + "»: " + reason;
}

// Newer first; two entries of the same second by their names, the later
// copy ("(2)") first.
bool Newer(const ListedEntry& a, const ListedEntry& b) {
  const long long at = a.entry->readAt.UtcSeconds(), bt = b.entry->readAt.UtcSeconds();
  if (at != bt) return at > bt;
  if (a.fileName.size() != b.fileName.size()) return a.fileName.size() > b.fileName.size();
  return a.fileName > b.fileName;
}

}  // namespace

std::string EntryFileName(const LocalDateTime& t, int copy) {
  char name[64];
  std::snprintf(name, sizeof name, "%04d-%02d-%02d %02d-%02d-%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  std::string result = name;
  if (copy > 1) result += " (" + std::to_string(copy) + ")";
  return result + kExtension;
}

std::string WriteEntry(const std::string& folder, const FinishedRead& read) {
  const std::string text = EntryText(read);
  const auto pathFor = [&](int copy) { return Utf8Of(PathOf(folder) / PathOf(EntryFileName(read.readAt, copy))); };
  try {
    base::MakeFolders(folder);
    base::AtomicFile file(pathFor(1));
    file.Write(text.data(), text.size());
    for (int copy = 1; copy <= kMaxCopies; ++copy) {
      if (file.CommitAsNew(pathFor(copy))) return EntryFileName(read.readAt, copy);
    }
  } catch (const base::FileError& error) {
    throw JournalError(WriteFailure(folder, error.what()));
  }
  throw JournalError(WriteFailure(folder, "все имена для " + EntryFileName(read.readAt) + " заняты"));
}

// The file's text, up to one byte more than an entry may have (to tell a
// file that is too large), in a buffer of the thread's, for a journal of
// thousands; none, and why, when it cannot be read.
std::optional<std::string_view> ReadEntryText(const std::string& path, std::string& problem) {
  std::ifstream in(PathOf(path), std::ios::binary);
  if (!in) {
    problem = "файл не открывается";
    return std::nullopt;
  }
  static thread_local std::string buffer(kMaxEntryBytes + 1, '\0');
  in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  if (in.bad()) {
    problem = "файл не читается";
    return std::nullopt;
  }
  return std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount()));
}

ListedEntry ReadEntryFile(const std::string& path) {
  ListedEntry listed;
  listed.path = path;
  listed.fileName = Utf8Of(PathOf(path).filename());
  const std::optional<std::string_view> text = ReadEntryText(path, listed.problem);
  if (!text) return listed;
  ParsedEntry parsed = ParseEntry(*text);
  listed.entry = std::move(parsed.entry);
  listed.problem = std::move(parsed.problem);
  return listed;
}

void RewriteExclusions(const std::string& path, const Entry& entry, const ExcludedSlots& excluded) {
  const std::string failure = "Не удалось записать исключённые из расчёта времена в журнал, в файл «" + path + "»: ";
  // Looked at again first: the user may have deleted the entry to forget
  // the read, or edited it, since it was written or opened.
  std::error_code error;
  if (!fs::is_regular_file(PathOf(path), error)) throw JournalError(failure + "файла больше нет");
  std::string problem;
  const std::optional<std::string_view> text = ReadEntryText(path, problem);
  if (!text) throw JournalError(failure + problem);
  const ParsedEntry now = ParseEntry(*text);
  if (!now.entry) throw JournalError(failure + now.problem);
  if (now.entry->readAt != entry.readAt || now.entry->answers != entry.answers)
    throw JournalError(failure + "в нём теперь другое считывание");
  if (now.entry->excluded == excluded) return;
  const std::string changed = WithExclusions(*text, excluded);
  const ParsedEntry check = ParseEntry(changed);
  if (!check.entry || check.entry->excluded != excluded || check.entry->answers != entry.answers)
    throw JournalError(failure + "запись не удалось изменить");
  try {
    base::AtomicFile file(path);
    file.Write(changed.data(), changed.size());
    file.Commit();
  } catch (const base::FileError& writeError) {
    throw JournalError(failure + writeError.what());
  }
}

std::vector<ListedEntry> ListEntries(const std::string& folder) {
  std::error_code error;
  const fs::path path = PathOf(folder);
  if (!fs::exists(path, error) && !error) return {};
  std::vector<std::string> files;
  fs::directory_iterator it(path, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = Utf8Of(it->path().filename());
    std::error_code typeError;
    if (IsHiddenOrSystem(name) || !it->is_regular_file(typeError)) continue;
    files.push_back(Utf8Of(it->path()));
  }
  if (error) throw JournalError("Не удалось прочитать папку журнала «" + folder + "»: " + error.message());

  // Read on every core: a journal of years holds thousands of entries, and
  // each is checked slot by slot.
  std::vector<ListedEntry> entries(files.size());
  const std::size_t workers =
      std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, std::max<std::size_t>(1, files.size() / 64));
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < files.size();) entries[i] = ReadEntryFile(files[i]);
  };
  std::vector<std::thread> helpers;
  for (std::size_t w = 1; w < workers; ++w) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();

  const auto unreadable =
      std::stable_partition(entries.begin(), entries.end(), [](const ListedEntry& e) { return e.entry.has_value(); });
  std::sort(entries.begin(), unreadable, Newer);
  std::sort(unreadable, entries.end(),
            [](const ListedEntry& a, const ListedEntry& b) { return a.fileName < b.fileName; });
  return entries;
}

}  // namespace stopwatch::journal
