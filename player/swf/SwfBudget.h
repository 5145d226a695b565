#pragma once

#include "player/swf/SwfError.h"

#include <cstddef>

// Counts decoded items against a limit and throws SwfError once it is spent.
class SwfBudget {
public:
  explicit SwfBudget(std::size_t limit) : FLeft(limit) {}

  void Consume(std::size_t count = 1) {
    if (count > FLeft)
      throw SwfError("movie too complex: more than the allowed number of decoded items");
    FLeft -= count;
  }

private:
  std::size_t FLeft;
};
