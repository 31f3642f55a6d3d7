// Libraries that are not among the system's known DLLs (winspool.drv, comctl32.dll, ...) are
// loaded from the system directory by full path, never from the program's folder or the current
// directory, and their functions resolved by name or ordinal.
#pragma once

#include <windows.h>

namespace win32 {

// The module of a library in the system directory, loaded on first use and kept for the
// process's life; null when it cannot be loaded.
HMODULE SystemLibrary(const char* fileName);

// A function of a system library by name, or null.
FARPROC SystemFunction(const char* fileName, const char* functionName);

// A function of a system library by ordinal, or null.
FARPROC SystemFunctionByOrdinal(const char* fileName, WORD ordinal);

// Restricts the process's library search to the system directory (where the system offers it).
void RestrictLibrarySearchToSystemDirectory();

}  // namespace win32
