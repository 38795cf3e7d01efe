#include "stopwatch/wire_format.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace stopwatch {

std::uint8_t SlotRequestCode(int slot) { return static_cast<std::uint8_t>(kFirstSlotRequest + slot); }

std::vector<std::uint8_t> MakeRequest(int slot, std::size_t outputReportLength) {
  std::vector<std::uint8_t> request(std::max(kRequestLength, outputReportLength), 0);
  request[0] = 0x00;
  request[1] = SlotRequestCode(slot);
  return request;
}

std::size_t AnswerBufferSize(std::size_t inputReportLength) { return std::max(kAnswerLength, inputReportLength); }

ExactTime DecodeTime(ConstAnswer answer) {
  // Each byte in decimal without leading zeros: up to three digits.
  char digits[27];
  std::size_t length = 0;
  for (std::size_t byte = kLastDigitByte; byte >= kFirstDigitByte; --byte) {
    const unsigned value = answer[byte];
    if (value >= 100) digits[length++] = static_cast<char>('0' + value / 100);
    if (value >= 10) digits[length++] = static_cast<char>('0' + value / 10 % 10);
    digits[length++] = static_cast<char>('0' + value % 10);
  }
  return ExactTime::FromUnitDigits(std::string_view(digits, length));
}

std::vector<std::uint8_t> EncodeAnswer(std::uint64_t units, std::uint8_t flag) {
  if (units >= 1'000'000'000ULL) throw std::out_of_range("an answer holds nine decimal digits");
  // Byte by byte as the stopwatch sends them, and not through the decoder's
  // constants: a test that decodes these bytes can then catch a decoder that
  // reads the wrong ones.
  std::vector<std::uint8_t> answer(kAnswerLength, 0);
  for (std::size_t byte = 1; byte <= 9; ++byte, units /= 10) answer[byte] = static_cast<std::uint8_t>(units % 10);
  answer[10] = flag;
  return answer;
}

void IncrementDigits(Answer answer) {
  for (std::size_t byte = kFirstDigitByte; byte <= kLastDigitByte; ++byte) {
    ++answer[byte];
    if (answer[byte] != 10) return;
    answer[byte] = 0;
  }
}

}  // namespace stopwatch
