#pragma once

#include <stdexcept>
#include <string>

// Raised for any file that is not a well-formed SWF or breaks one of the reader's limits.
class SwfError : public std::runtime_error {
public:
  explicit SwfError(const std::string& message) : std::runtime_error(message) {}
};
