// The slots of a table that the user has set aside: a false start or a
// missed stop gives one absurd time, which stays in the table (and in a
// copy or a saved workbook) but is left out of the figures worked out
// from it. They belong to the table they were set aside on: a new read
// starts with none, and the table's journal entry keeps them.
#pragma once

#include <bitset>
#include <vector>

#include "stopwatch/measurement_table.h"

namespace stopwatch {

class ExcludedSlots {
 public:
  // Slots outside 0 to 83 are never excluded.
  bool Contains(int slot) const { return InRange(slot) && slots_.test(static_cast<std::size_t>(slot)); }
  void Exclude(int slot) {
    if (InRange(slot)) slots_.set(static_cast<std::size_t>(slot));
  }
  void Restore(int slot) {
    if (InRange(slot)) slots_.reset(static_cast<std::size_t>(slot));
  }
  void Clear() { slots_.reset(); }
  bool Empty() const { return slots_.none(); }
  int Count() const { return static_cast<int>(slots_.count()); }
  // In slot order.
  std::vector<int> List() const {
    // Not named "slots": Qt's headers make that a keyword.
    std::vector<int> inOrder;
    for (int slot = 0; slot < kSlotCount; ++slot)
      if (Contains(slot)) inOrder.push_back(slot);
    return inOrder;
  }

  friend bool operator==(const ExcludedSlots&, const ExcludedSlots&) = default;

 private:
  static bool InRange(int slot) { return slot >= 0 && slot < kSlotCount; }

  std::bitset<kSlotCount> slots_;
};

}  // namespace stopwatch
