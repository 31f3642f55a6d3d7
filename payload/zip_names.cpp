#include "payload/zip_names.h"

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

// Read byte by byte when `characters` is false, as code page 936 text when it is true.
bool HasParentComponent(const char* name, bool characters) {
  const char* begin = name;
  for (const char* at = name;; at += characters ? CharLength(at) : 1) {
    if (*at != '\0' && !IsSeparator(*at)) continue;
    if (IsParentComponent(begin, at)) return true;
    if (*at == '\0') return false;
    begin = at + 1;
  }
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
bool StaysInside(const char* name) { return !HasParentComponent(name, true) && !HasParentComponent(name, false); }

}  // namespace zip_names
