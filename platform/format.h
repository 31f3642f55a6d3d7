// printf-style formatting into a string of any length, for texts the logic builds.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace platform {

// The text formatted from `format` and the arguments, whole.
inline std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

inline std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
  }
  va_end(args);
  return text;
}

}  // namespace platform
