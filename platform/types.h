// Values shared by the platform interfaces: opaque references to objects the platform owns,
// and the error codes and constants that the logic compares against.
#pragma once

#include <cstdint>

namespace platform {

// Opaque references to platform objects (a window, a process, a printer, a file, a key, a bitmap,
// a device context, a directory held open).
// Zero is "none" for every kind.
using WindowRef = std::uintptr_t;
using ProcessRef = std::uintptr_t;
using PrinterRef = std::uintptr_t;
using FileRef = std::uintptr_t;
using KeyRef = std::uintptr_t;
using BitmapRef = std::uintptr_t;
using DeviceContextRef = std::uintptr_t;
using DirectoryRef = std::uintptr_t;

// System error codes the logic and the simulation use.
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kErrorMoreData = 234;
constexpr std::uint32_t kErrorNoMoreItems = 259;
constexpr std::uint32_t kErrorUnknownPrinterDriver = 1797;
constexpr std::uint32_t kErrorInvalidPrinterName = 1801;
constexpr std::uint32_t kErrorPrinterAlreadyExists = 1802;
constexpr std::uint32_t kErrorUnknownPort = 1796;

// wProcessorArchitecture codes of the native system information.
constexpr std::uint16_t kArchitectureIntel = 0;
constexpr std::uint16_t kArchitectureIa64 = 6;
constexpr std::uint16_t kArchitectureAmd64 = 9;
constexpr std::uint16_t kArchitectureUnknown = 0xFFFF;

// Show commands.
constexpr int kShowHide = 0;
constexpr int kShowNormal = 1;

}  // namespace platform
