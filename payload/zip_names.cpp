#include "payload/zip_names.h"

#include <cctype>
#include <cstring>

namespace zip_names {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// True when the component [begin, end) would name a parent directory.
bool IsParentComponent(const char* begin, const char* end) {
  bool twoDots = false;
  for (const char* at = begin; at < end; ++at) {
    if (*at != '.' && *at != ' ') return false;
    if (*at == '.' && at + 1 < end && at[1] == '.') twoDots = true;
  }
  return twoDots;
}

// True when `test` holds for a component of `name`, read byte by byte when `characters` is false
// and as code page 936 text when it is true.
template <typename Test>
bool AnyComponent(const char* name, bool characters, Test test) {
  const char* begin = name;
  for (const char* at = name;; at += characters ? CharLength(at) : 1) {
    if (*at != '\0' && !IsSeparator(*at)) continue;
    if (test(begin, at)) return true;
    if (*at == '\0') return false;
    begin = at + 1;
  }
}

bool SameLetters(const char* begin, const char* end, const char* word) {
  for (const char* at = begin; at < end; ++at, ++word) {
    if (*word == '\0' || std::toupper(static_cast<unsigned char>(*at)) != *word) return false;
  }
  return *word == '\0';
}

// True when the component [begin, end) opens a DOS device rather than a file: one of the reserved
// names, in any case, before any extension and trailing spaces. The serial and parallel ports
// also count with a superscript digit, as Windows reads the bytes 0xB9, 0xB2 and 0xB3.
bool IsDeviceComponent(const char* begin, const char* end) {
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  const char* stem = begin;
  while (stem < end && *stem != '.') ++stem;
  while (stem > begin && stem[-1] == ' ') --stem;
  for (const char* device : kDevices) {
    if (SameLetters(begin, stem, device)) return true;
  }
  if (stem - begin != 4) return false;
  if (!SameLetters(begin, begin + 3, "COM") && !SameLetters(begin, begin + 3, "LPT")) return false;
  return std::strchr("0123456789\xB9\xB2\xB3", begin[3]) != nullptr && begin[3] != '\0';
}

}  // namespace

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// A lead byte followed by a byte that cannot be a trail byte (such as "/") is a character of its
// own, as Windows converts it, so the byte after it keeps its meaning.
std::size_t CharLength(const char* at) {
  const unsigned char trail = static_cast<unsigned char>(at[1]);
  const bool trailByte = trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
  return IsLeadByte(static_cast<unsigned char>(at[0])) && trailByte ? 2 : 1;
}

const char* FindText(const char* text, const char* pattern) {
  const std::size_t length = std::strlen(pattern);
  for (const char* at = text; *at != '\0'; at += CharLength(at)) {
    if (std::strncmp(at, pattern, length) == 0) return at;
  }
  return nullptr;
}

const char* LastSeparator(const char* text) {
  const char* last = nullptr;
  for (const char* at = text; *at != '\0'; at += CharLength(at)) {
    if (IsSeparator(*at)) last = at;
  }
  return last;
}

// Each pass applies the first rule that matches; the rule order wins over the position in the
// text. Every rule moves the start forward, so the passes end.
const char* SanitisedName(const char* stored) {
  static const char* const kParentPatterns[] = {"\\..\\", "\\../", "/../", "/..\\"};
  const char* s = stored;
  for (;;) {
    if (s[0] != '\0' && s[1] == ':') {
      s += 2;
      continue;
    }
    if (IsSeparator(s[0])) {
      s += 1;
      continue;
    }
    const char* found = nullptr;
    for (const char* pattern : kParentPatterns) {
      found = FindText(s, pattern);
      if (found != nullptr) break;
    }
    if (found == nullptr) return s;
    s = found + 4;
  }
}

// The name must be safe whichever ANSI code page Windows reads it in: as code page 936 text
// and as single bytes, where a trail byte 0x5C is a backslash.
bool StaysInside(const char* name) {
  return !AnyComponent(name, true, IsParentComponent) && !AnyComponent(name, false, IsParentComponent);
}

// A stream suffix cannot hide in a double-byte character: ':' is never a trail byte.
bool NamesPlainFiles(const char* name) {
  const bool drive = name[0] != '\0' && name[1] == ':';
  if (std::strchr(drive ? name + 2 : name, ':') != nullptr) return false;
  return !AnyComponent(name, true, IsDeviceComponent) && !AnyComponent(name, false, IsDeviceComponent);
}

}  // namespace zip_names
