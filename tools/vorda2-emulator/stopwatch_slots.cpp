#include "tools/vorda2-emulator/stopwatch_slots.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace lumetra::emulator {
namespace {

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

// "12.3456" -> 123456; at most four decimals, at most 99999.9999.
std::optional<std::uint32_t> ParseSeconds(std::string_view text) {
  const auto dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
  if (whole.empty() || whole.size() > 5 || fraction.size() > 4) return std::nullopt;
  if (dot != std::string_view::npos && fraction.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : whole) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  for (std::size_t i = 0; i < 4; ++i) {
    const char c = i < fraction.size() ? fraction[i] : '0';
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return value;
}

template <typename T>
std::optional<T> ParseNumber(std::string_view text, int base) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

Answer AnswerForTime(std::uint32_t ten_thousandths, std::uint8_t increment_flag) {
  const std::vector<std::uint8_t> numbered = stopwatch::EncodeAnswer(ten_thousandths, increment_flag);
  Answer answer{};
  std::copy(numbered.begin() + 1, numbered.end(), answer.begin());
  return answer;
}

SlotsFile ParseSlots(std::string_view text) {
  Slots slots{};
  int slot = 0;
  int line_number = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++line_number;
    const auto tokens = Tokens(line);
    if (tokens.empty() || tokens[0].front() == '#') continue;
    auto fail = [line_number](const std::string& why) {
      return SlotsFile{std::nullopt, "line " + std::to_string(line_number) + ": " + why};
    };
    if (slot == stopwatch::kSlotCount) return fail("more than 84 slots");
    Answer answer{};
    if (tokens.size() == kAnswerLength || tokens.size() == kAnswerLength + 1) {
      std::size_t skip = tokens.size() - kAnswerLength;
      for (std::size_t i = 0; i < tokens.size(); ++i) {
        const auto byte = tokens[i].size() == 2 ? ParseNumber<std::uint8_t>(tokens[i], 16) : std::nullopt;
        if (!byte) return fail("not a hex byte: " + std::string(tokens[i]));
        if (i < skip) {
          if (*byte != 0) return fail("the report ID of an answer is 00");
        } else {
          answer[i - skip] = *byte;
        }
      }
    } else if (tokens.size() <= 2) {
      const auto time = ParseSeconds(tokens[0]);
      if (!time) return fail("not a time in seconds (at most 99999.9999, four decimals): " + std::string(tokens[0]));
      std::uint8_t flag = 0;
      if (tokens.size() == 2) {
        const auto parsed = ParseNumber<std::uint8_t>(tokens[1], 10);
        if (!parsed) return fail("not an increment flag (0 to 255): " + std::string(tokens[1]));
        flag = *parsed;
      }
      answer = AnswerForTime(*time, flag);
    } else {
      return fail("expected a time with an optional flag, or 10 or 11 hex bytes");
    }
    slots[static_cast<std::size_t>(slot++)] = answer;
  }
  return SlotsFile{slots, {}};
}

Slots GenerateSlots(std::uint32_t seed) {
  Slots slots{};
  std::uint32_t state = seed * 2654435761u + 1;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  for (int i = 0; i < 76; ++i) {
    const std::uint32_t time = 90000 + next() % 160000;  // 9 to 25 s
    const std::uint8_t flag = next() % 8 == 0 ? 1 : 0;
    slots[static_cast<std::size_t>(i)] = AnswerForTime(time, flag);
  }
  // Longer times, shown with fewer decimals.
  slots[20] = AnswerForTime(1234567, 0);    // 123.4567 s
  slots[40] = AnswerForTime(12345678, 0);   // 1234.5678 s
  slots[60] = AnswerForTime(123456789, 1);  // 12345.6789 s
  slots[75] = AnswerForTime(999999, 1);     // 99.9999 s, the increment carries to 100
  // Slots 76 to 83 unused: time 0.
  return slots;
}

std::optional<Answer> AnswerRequest(const Slots& slots, const std::vector<std::uint8_t>& request) {
  if (request.size() < 2 || request[0] != 0) return std::nullopt;
  const int slot = request[1] - stopwatch::kFirstSlotRequest;
  if (slot < 0 || slot >= stopwatch::kSlotCount) return std::nullopt;
  return slots[static_cast<std::size_t>(slot)];
}

}  // namespace lumetra::emulator
