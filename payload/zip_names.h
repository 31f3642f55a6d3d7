// Entry names of the ZIP reader: multibyte-aware searching in code page 936, the sanitising of
// stored names, and the tests that a name stays inside the directory it is unpacked under and
// names plain files there.
#pragma once

#include <cstddef>

namespace zip_names {

// True for a lead byte of a double-byte character in code page 936 (0x81 to 0xFE).
bool IsLeadByte(unsigned char byte);
// The length of the character at `at`: 2 for a lead byte followed by a trail byte, else 1.
std::size_t CharLength(const char* at);
// The first occurrence of `pattern` in `text` that begins on a character boundary, or null.
const char* FindText(const char* text, const char* pattern);
// The last "/" or "\" of `text` that is a character of its own (not a trail byte), or null.
const char* LastSeparator(const char* text);
// The part of a stored name that is handed out: drive prefixes, leading separators and
// everything up to a "..", separator pattern are dropped, pass by pass.
const char* SanitisedName(const char* stored);
// True when no component of `name` is made only of dots and spaces with ".." in it (which
// Windows resolves to the parent directory), read as code page 936 text or as single bytes;
// "" and "." components are harmless.
bool StaysInside(const char* name);
// True when no component of `name` is a DOS device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$,
// COM0 to COM9, LPT0 to LPT9; any case, any extension) and no ':' follows a leading drive prefix
// (an alternate data stream), read as code page 936 text or as single bytes.
bool NamesPlainFiles(const char* name);

}  // namespace zip_names
