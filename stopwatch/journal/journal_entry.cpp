#include "stopwatch/journal/journal_entry.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "stopwatch/cell_text.h"
#include "stopwatch/measurement_table.h"

namespace stopwatch::journal {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kTitle = "Lumetra: журнал считываний";
constexpr std::string_view kFormatField = "Формат";
constexpr std::string_view kReadAtField = "Считано";
constexpr std::string_view kSeparatorField = "Десятичный разделитель";
constexpr std::string_view kExcludedField = "Исключены из расчёта";
constexpr std::string_view kSlotColumn = "№";
constexpr std::string_view kTimeColumn = "Время, с";
constexpr std::string_view kAnswerColumn = "Ответ секундомера";

std::string HexAnswer(const RawAnswer& answer) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < answer.size(); ++i) {
    if (i > 0) text += ' ';
    text += kDigits[answer[i] >> 4];
    text += kDigits[answer[i] & 0xF];
  }
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Eleven two-digit hex bytes, one space between them.
std::optional<RawAnswer> ParseHexAnswer(std::string_view text) {
  RawAnswer answer{};
  if (text.size() != answer.size() * 3 - 1) return std::nullopt;
  for (std::size_t i = 0; i < answer.size(); ++i) {
    const int high = HexDigit(text[i * 3]);
    const int low = HexDigit(text[i * 3 + 1]);
    if (high < 0 || low < 0 || (i + 1 < answer.size() && text[i * 3 + 2] != ' ')) return std::nullopt;
    answer[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return answer;
}

std::optional<int> ParseCount(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() || text[0] == '-') return std::nullopt;
  return value;
}

// "3 17": the slots in ascending order, one space apart.
std::string ExcludedText(const ExcludedSlots& excluded) {
  std::string text;
  for (const int slot : excluded.List()) {
    if (!text.empty()) text += ' ';
    text += std::to_string(slot);
  }
  return text;
}

// The field's value as ExcludedText writes it, and nothing else: a slot
// out of range, twice or out of order is a hand edit gone wrong, not a
// list to guess at.
std::optional<ExcludedSlots> ParseExcluded(std::string_view text) {
  ExcludedSlots excluded;
  int last = -1;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t space = text.find(' ', start);
    const std::optional<int> slot =
        ParseCount(text.substr(start, space == std::string_view::npos ? std::string_view::npos : space - start));
    if (!slot || *slot <= last || *slot >= kSlotCount) return std::nullopt;
    excluded.Exclude(*slot);
    last = *slot;
    if (space == std::string_view::npos) break;
    start = space + 1;
    if (start == text.size()) return std::nullopt;  // a space at the end
  }
  return excluded;
}

// A line's tab-separated fields, into `fields` (kept between lines: a
// journal of thousands is listed line by line).
void SplitTabs(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return;
    start = tab + 1;
  }
}

// The text's lines, each without its line feed (and carriage return).
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool Next(std::string_view& line) {
    if (at_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', at_);
    line = text_.substr(at_, end == std::string_view::npos ? std::string_view::npos : end - at_);
    at_ = end == std::string_view::npos ? text_.size() : end + 1;
    ended_ = end != std::string_view::npos;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number_;
    return true;
  }
  int Number() const { return number_; }
  // Whether the last line came with its line feed.
  bool Ended() const { return ended_; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  int number_ = 0;
  bool ended_ = false;
};

ParsedEntry Unreadable(std::string problem) { return ParsedEntry{std::nullopt, std::move(problem)}; }

std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string shown(text.substr(0, kShown));
  if (text.size() > kShown) shown += "…";
  return "«" + shown + "»";
}

}  // namespace

std::string EntryText(const FinishedRead& read) {
  std::string text;
  text.reserve(4096);
  text += kByteOrderMark;
  text += kTitle;
  text += '\n';
  const auto field = [&text](std::string_view name, const std::string& value) {
    text.append(name).append("\t").append(value).append("\n");
  };
  field(kFormatField, std::to_string(kFormatVersion));
  field(kReadAtField, FormatIso8601(read.readAt));
  field(kSeparatorField, read.separator);
  field(kExcludedField, ExcludedText(read.excluded));
  text += '\n';
  text.append(kSlotColumn).append("\t").append(kTimeColumn).append("\t").append(kAnswerColumn).append("\n");
  for (std::size_t slot = 0; slot < read.answers.size(); ++slot) {
    text += std::to_string(slot);
    text += '\t';
    text += slot < read.cells.size() ? read.cells[slot] : DecodedCellText(read.answers[slot], read.separator);
    text += '\t';
    text += HexAnswer(read.answers[slot]);
    text += '\n';
  }
  return text;
}

ParsedEntry ParseEntry(std::string_view text) {
  if (text.empty()) return Unreadable("файл пуст");
  if (text.size() > kMaxEntryBytes) return Unreadable("файл слишком велик для записи журнала");
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  Lines lines(text);
  std::string_view line;
  if (!lines.Next(line) || line != kTitle) return Unreadable("это не запись журнала Lumetra");

  // The header: named fields up to the empty line.
  std::map<std::string_view, std::string_view> fields;
  for (;;) {
    if (!lines.Next(line)) return Unreadable("запись оборвана: нет таблицы измерений");
    if (line.empty()) break;
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
      return Unreadable("строка " + std::to_string(lines.Number()) + " не поле записи");
    const std::string_view value = line.substr(tab + 1);
    fields.emplace(line.substr(0, tab), value.substr(0, value.find('\t')));
  }
  const auto found = [&fields](std::string_view name) -> std::optional<std::string_view> {
    const auto it = fields.find(name);
    if (it == fields.end()) return std::nullopt;
    return it->second;
  };
  const auto format = found(kFormatField);
  if (!format) return Unreadable("не указан формат записи");
  const std::optional<int> version = ParseCount(*format);
  if (!version || *version < 1) return Unreadable("формат записи " + Quoted(*format) + " не распознан");
  if (*version > kFormatVersion)
    return Unreadable("запись сделана более новой версией программы (формат " + std::to_string(*version) + ")");

  Entry entry;
  const auto readAt = found(kReadAtField);
  if (!readAt) return Unreadable("не указано, когда данные считаны");
  const std::optional<LocalDateTime> moment = ParseIso8601(*readAt);
  if (!moment) return Unreadable("время считывания " + Quoted(*readAt) + " не распознано");
  entry.readAt = *moment;
  const auto separator = found(kSeparatorField);
  if (!separator || separator->empty()) return Unreadable("не указан десятичный разделитель");
  entry.separator = std::string(*separator);
  if (const auto excluded = found(kExcludedField)) {
    const std::optional<ExcludedSlots> slots = ParseExcluded(*excluded);
    if (!slots) return Unreadable("исключённые из расчёта измерения " + Quoted(*excluded) + " не распознаны");
    entry.excluded = *slots;
  }

  // The table: its columns by name, then one line per slot up to an empty line.
  if (!lines.Next(line)) return Unreadable("запись оборвана: нет таблицы измерений");
  std::vector<std::string_view> columns;
  SplitTabs(line, columns);
  const auto column = [&columns](std::string_view name) -> int {
    for (std::size_t i = 0; i < columns.size(); ++i)
      if (columns[i] == name) return static_cast<int>(i);
    return -1;
  };
  const int slotColumn = column(kSlotColumn);
  const int timeColumn = column(kTimeColumn);
  const int answerColumn = column(kAnswerColumn);
  for (const auto& [index, name] : {std::pair{slotColumn, kSlotColumn}, std::pair{timeColumn, kTimeColumn},
                                    std::pair{answerColumn, kAnswerColumn}}) {
    if (index < 0) return Unreadable("в таблице нет столбца «" + std::string(name) + "»");
  }
  const std::size_t needed = static_cast<std::size_t>(std::max({slotColumn, timeColumn, answerColumn})) + 1;
  entry.answers.reserve(kSlotCount);
  entry.cells.reserve(kSlotCount);
  std::vector<std::string_view> cells;
  // What is wrong with the current line, worded only when something is: a
  // journal of thousands is checked line by line. A last line cut short is
  // the end of a file cut short.
  const auto at = [&lines](std::string_view what) {
    const std::string number = std::to_string(lines.Number());
    return Unreadable((lines.Ended() ? "строка " + number : "запись оборвана на строке " + number) + ": " +
                      std::string(what));
  };
  while (lines.Next(line) && !line.empty()) {
    const int slot = static_cast<int>(entry.answers.size());
    if (slot >= kSlotCount) return at("измерений больше " + std::to_string(kSlotCount));
    SplitTabs(line, cells);
    if (cells.size() < needed) return at("не хватает столбцов");
    if (ParseCount(cells[slotColumn]) != slot)
      return at("ожидалось измерение " + std::to_string(slot) + ", а не " + Quoted(cells[slotColumn]));
    const std::optional<RawAnswer> answer = ParseHexAnswer(cells[answerColumn]);
    if (!answer) return at("ответ секундомера " + Quoted(cells[answerColumn]) + " не распознан");
    std::string decoded = DecodedCellText(*answer, entry.separator);
    if (cells[timeColumn] != decoded)
      return at("время " + Quoted(cells[timeColumn]) + " не совпадает с ответом секундомера");
    entry.answers.push_back(*answer);
    entry.cells.push_back(std::move(decoded));
  }
  if (entry.answers.size() < static_cast<std::size_t>(kSlotCount))
    return Unreadable("запись оборвана: в ней " + std::to_string(entry.answers.size()) + " измерений из " +
                      std::to_string(kSlotCount));
  return ParsedEntry{std::move(entry), {}};
}

std::string WithExclusions(std::string_view text, const ExcludedSlots& excluded) {
  const std::string value = ExcludedText(excluded);
  // The header's lines, from the one after the title up to the empty line:
  // the field's value is replaced where it is (what a spreadsheet may have
  // put after it in further columns stays), or else the field is added
  // after the separator's, with that line's line end.
  std::size_t end = text.find('\n', text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0);
  std::size_t insertAt = std::string_view::npos;
  std::string_view lineEnd = "\n";
  while (end != std::string_view::npos) {
    const std::size_t start = end + 1;
    end = text.find('\n', start);
    if (end == std::string_view::npos) break;
    std::string_view line = text.substr(start, end - start);
    const bool withReturn = line.ends_with('\r');
    if (withReturn) line.remove_suffix(1);
    if (line.empty()) break;
    const std::string_view name = line.substr(0, line.find('\t'));
    if (name == kExcludedField) {
      const std::size_t lineEndAt = start + line.size();
      // The name alone (no field ParseEntry takes) gets its tab.
      if (name.size() == line.size())
        return std::string(text.substr(0, lineEndAt)).append("\t").append(value).append(text.substr(lineEndAt));
      const std::size_t valueAt = start + name.size() + 1;
      const std::size_t valueEnd = std::min(text.find('\t', valueAt), lineEndAt);
      return std::string(text.substr(0, valueAt)).append(value).append(text.substr(valueEnd));
    }
    if (name == kSeparatorField && insertAt == std::string_view::npos) {
      insertAt = end + 1;
      lineEnd = withReturn ? "\r\n" : "\n";
    }
  }
  if (insertAt == std::string_view::npos) return std::string(text);  // no entry's header to add to
  return std::string(text.substr(0, insertAt))
      .append(kExcludedField)
      .append("\t")
      .append(value)
      .append(lineEnd)
      .append(text.substr(insertAt));
}

FinishedRead ReadOfEntry(const Entry& entry, ClockLocalePort& clock) {
  FinishedRead read;
  read.readAt = entry.readAt;
  read.date = clock.ShortDate(entry.readAt);
  read.time = clock.LongTime(entry.readAt);
  read.separator = clock.DecimalSeparator();
  read.answers = entry.answers;
  read.excluded = entry.excluded;
  for (const RawAnswer& answer : entry.answers) read.cells.push_back(DecodedCellText(answer, read.separator));
  return read;
}

}  // namespace stopwatch::journal
