// A whole file mapped into memory read-only, as the program's image holds its package.
#pragma once

#include <cstddef>

// Maps the regular file at `path` for the rest of the process: its bytes and size; false when
// it cannot be opened or mapped.
bool MapWholeFile(const char* path, const unsigned char** data, std::size_t* size);
