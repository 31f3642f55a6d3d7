// Every Windows constant, record size and field order that platform/*.h mirrors, tied to the
// toolchain's own headers. Record sizes depend on the pointer size: each is checked for the
// build's own (28 bytes in the 32-bit program, 32 in a 64-bit one, ...).
//
// Not here, because the headers give them as pointer casts and no constant expression: the
// predefined registry roots (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE), INVALID_HANDLE_VALUE, the
// cursor ids IDC_WAIT and IDC_HAND, and the GUID of the USB printer interface class.
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>
#include <setupapi.h>
#include <shellapi.h>
#include <winspool.h>

#include <cstddef>

#include "platform/devices.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/printing.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/spooler.h"
#include "platform/system.h"
#include "platform/types.h"

namespace {

constexpr bool k32Bit = sizeof(void*) == 4;

// The size a record has in this build: the first in the 32-bit program, the second in a 64-bit one.
constexpr std::size_t BySize(std::size_t bits32, std::size_t bits64) { return k32Bit ? bits32 : bits64; }

}  // namespace

// System error codes.
static_assert(platform::kErrorSuccess == ERROR_SUCCESS, "ERROR_SUCCESS");
static_assert(platform::kErrorFileNotFound == ERROR_FILE_NOT_FOUND, "ERROR_FILE_NOT_FOUND");
static_assert(platform::kErrorPathNotFound == ERROR_PATH_NOT_FOUND, "ERROR_PATH_NOT_FOUND");
static_assert(platform::kErrorAccessDenied == ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED");
static_assert(platform::kErrorInvalidHandle == ERROR_INVALID_HANDLE, "ERROR_INVALID_HANDLE");
static_assert(platform::kErrorNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY, "ERROR_NOT_ENOUGH_MEMORY");
static_assert(platform::kErrorInvalidParameter == ERROR_INVALID_PARAMETER, "ERROR_INVALID_PARAMETER");
static_assert(platform::kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER, "ERROR_INSUFFICIENT_BUFFER");
static_assert(platform::kErrorAlreadyExists == ERROR_ALREADY_EXISTS, "ERROR_ALREADY_EXISTS");
static_assert(platform::kErrorMoreData == ERROR_MORE_DATA, "ERROR_MORE_DATA");
static_assert(platform::kErrorNoMoreItems == ERROR_NO_MORE_ITEMS, "ERROR_NO_MORE_ITEMS");
static_assert(platform::kErrorUnknownPort == ERROR_UNKNOWN_PORT, "ERROR_UNKNOWN_PORT");
static_assert(platform::kErrorUnknownPrinterDriver == ERROR_UNKNOWN_PRINTER_DRIVER, "ERROR_UNKNOWN_PRINTER_DRIVER");
static_assert(platform::kErrorInvalidPrinterName == ERROR_INVALID_PRINTER_NAME, "ERROR_INVALID_PRINTER_NAME");
static_assert(platform::kErrorPrinterAlreadyExists == ERROR_PRINTER_ALREADY_EXISTS, "ERROR_PRINTER_ALREADY_EXISTS");

// Processor architectures and show commands.
static_assert(platform::kArchitectureIntel == PROCESSOR_ARCHITECTURE_INTEL, "PROCESSOR_ARCHITECTURE_INTEL");
static_assert(platform::kArchitectureIa64 == PROCESSOR_ARCHITECTURE_IA64, "PROCESSOR_ARCHITECTURE_IA64");
static_assert(platform::kArchitectureAmd64 == PROCESSOR_ARCHITECTURE_AMD64, "PROCESSOR_ARCHITECTURE_AMD64");
static_assert(platform::kArchitectureUnknown == PROCESSOR_ARCHITECTURE_UNKNOWN, "PROCESSOR_ARCHITECTURE_UNKNOWN");
static_assert(platform::kShowHide == SW_HIDE, "SW_HIDE");
static_assert(platform::kShowNormal == SW_SHOWNORMAL, "SW_SHOWNORMAL");

// Kernel records.
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes");
static_assert(sizeof(platform::SystemTime) == sizeof(SYSTEMTIME), "SYSTEMTIME");
static_assert(offsetof(platform::SystemTime, dayOfWeek) == offsetof(SYSTEMTIME, wDayOfWeek), "SYSTEMTIME order");
static_assert(offsetof(platform::SystemTime, day) == offsetof(SYSTEMTIME, wDay), "SYSTEMTIME order");
static_assert(offsetof(platform::SystemTime, milliseconds) == offsetof(SYSTEMTIME, wMilliseconds), "SYSTEMTIME order");

// The registry.
static_assert(platform::kKeyRead == KEY_READ, "KEY_READ");
static_assert(platform::kKeyReadWrite == (KEY_READ | KEY_WRITE), "KEY_READ | KEY_WRITE");
static_assert(platform::kRegSz == REG_SZ, "REG_SZ");
static_assert(platform::kRegBinary == REG_BINARY, "REG_BINARY");
static_assert(platform::kRegDword == REG_DWORD, "REG_DWORD");

// Files.
static_assert(platform::kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES, "INVALID_FILE_ATTRIBUTES");
static_assert(platform::kFileAttributeReadOnly == FILE_ATTRIBUTE_READONLY, "FILE_ATTRIBUTE_READONLY");
static_assert(platform::kFileAttributeHidden == FILE_ATTRIBUTE_HIDDEN, "FILE_ATTRIBUTE_HIDDEN");
static_assert(platform::kFileAttributeSystem == FILE_ATTRIBUTE_SYSTEM, "FILE_ATTRIBUTE_SYSTEM");
static_assert(platform::kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY, "FILE_ATTRIBUTE_DIRECTORY");
static_assert(platform::kFileAttributeArchive == FILE_ATTRIBUTE_ARCHIVE, "FILE_ATTRIBUTE_ARCHIVE");
static_assert(platform::kFileAttributeNormal == FILE_ATTRIBUTE_NORMAL, "FILE_ATTRIBUTE_NORMAL");
static_assert(platform::kFileAttributeReparsePoint == FILE_ATTRIBUTE_REPARSE_POINT, "FILE_ATTRIBUTE_REPARSE_POINT");
static_assert(platform::kTextBufferSize == MAX_PATH, "MAX_PATH");

// The spooler.
static_assert(platform::kPrinterEnumLocal == PRINTER_ENUM_LOCAL, "PRINTER_ENUM_LOCAL");
static_assert(platform::kPrinterEnumConnections == PRINTER_ENUM_CONNECTIONS, "PRINTER_ENUM_CONNECTIONS");
static_assert(platform::kPrinterAttributeLocal == PRINTER_ATTRIBUTE_LOCAL, "PRINTER_ATTRIBUTE_LOCAL");

// The shell.
static_assert(platform::kSeeMaskNoCloseProcess == SEE_MASK_NOCLOSEPROCESS, "SEE_MASK_NOCLOSEPROCESS");
static_assert(sizeof(SHELLEXECUTEINFOA) == BySize(60, 112), "SHELLEXECUTEINFOA");

// Device interfaces.
static_assert(platform::kDigcfPresent == DIGCF_PRESENT, "DIGCF_PRESENT");
static_assert(platform::kDigcfDeviceInterface == DIGCF_DEVICEINTERFACE, "DIGCF_DEVICEINTERFACE");
static_assert(platform::kInterfaceActive == SPINT_ACTIVE, "SPINT_ACTIVE");
static_assert(platform::kInterfaceDefault == SPINT_DEFAULT, "SPINT_DEFAULT");
static_assert(platform::kInterfaceRemoved == SPINT_REMOVED, "SPINT_REMOVED");
static_assert(sizeof(platform::Guid) == sizeof(GUID), "GUID");
// The logic gives both records' sizes in the 32-bit layout; the 64-bit back-end passes its own.
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == BySize(platform::kInterfaceRecordSize, 32), "SP_DEVICE_INTERFACE_DATA");
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == BySize(platform::kDetailFixedSize, 8),
              "SP_DEVICE_INTERFACE_DETAIL_DATA_A");
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) == platform::kDetailPathOffset,
              "the device path follows the 32-bit cbSize");

// Graphics.
static_assert(platform::kDrawTextNoClip == DT_NOCLIP, "DT_NOCLIP");
static_assert(platform::kRasterSourceCopy == SRCCOPY, "SRCCOPY");
static_assert(sizeof(BITMAP) == BySize(24, 32), "BITMAP");
static_assert(sizeof(DOCINFOA) == BySize(20, 40), "DOCINFOA");
static_assert(offsetof(BITMAP, bmWidth) == 4 && offsetof(BITMAP, bmBitsPixel) == 18, "BITMAP order");
static_assert(sizeof(platform::Rect) == sizeof(RECT), "RECT");

// Window messages, notifications and device events.
static_assert(platform::kWmClose == WM_CLOSE, "WM_CLOSE");
static_assert(platform::kWmDestroy == WM_DESTROY, "WM_DESTROY");
static_assert(platform::kWmPaint == WM_PAINT, "WM_PAINT");
static_assert(platform::kWmQueryDragIcon == WM_QUERYDRAGICON, "WM_QUERYDRAGICON");
static_assert(platform::kWmSetCursor == WM_SETCURSOR, "WM_SETCURSOR");
static_assert(platform::kWmNotify == WM_NOTIFY, "WM_NOTIFY");
static_assert(platform::kWmInitDialog == WM_INITDIALOG, "WM_INITDIALOG");
static_assert(platform::kWmCommand == WM_COMMAND, "WM_COMMAND");
static_assert(platform::kWmDeviceChange == WM_DEVICECHANGE, "WM_DEVICECHANGE");
static_assert(platform::kBnClicked == BN_CLICKED, "BN_CLICKED");
static_assert(platform::kLbnSelChange == LBN_SELCHANGE, "LBN_SELCHANGE");
static_assert(platform::kLbnDblClk == LBN_DBLCLK, "LBN_DBLCLK");
static_assert(platform::kStnDblClk == STN_DBLCLK, "STN_DBLCLK");
static_assert(platform::kIpnFieldChanged == static_cast<std::uint32_t>(IPN_FIELDCHANGED), "IPN_FIELDCHANGED");
static_assert(platform::kDbtDeviceArrival == DBT_DEVICEARRIVAL, "DBT_DEVICEARRIVAL");
static_assert(platform::kDbtDeviceRemoveComplete == DBT_DEVICEREMOVECOMPLETE, "DBT_DEVICEREMOVECOMPLETE");
static_assert(platform::kDbtDevtypDeviceInterface == DBT_DEVTYP_DEVICEINTERFACE, "DBT_DEVTYP_DEVICEINTERFACE");
static_assert(sizeof(platform::DeviceEventHeader) == sizeof(DEV_BROADCAST_HDR), "DEV_BROADCAST_HDR");
static_assert(offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_classguid) == offsetof(platform::DeviceInterfaceFilter, classGuid),
              "DEV_BROADCAST_DEVICEINTERFACE_A order");

// Dialog results, styles and list box results.
static_assert(platform::kIdOk == IDOK, "IDOK");
static_assert(platform::kIdCancel == IDCANCEL, "IDCANCEL");
static_assert(platform::kWsVisible == WS_VISIBLE, "WS_VISIBLE");
static_assert(platform::kWsDisabled == WS_DISABLED, "WS_DISABLED");
static_assert(platform::kWsGroup == WS_GROUP, "WS_GROUP");
static_assert(platform::kButtonTypeMask == BS_TYPEMASK, "BS_TYPEMASK");
static_assert(platform::kBsAutoRadioButton == BS_AUTORADIOBUTTON, "BS_AUTORADIOBUTTON");
static_assert(platform::kBsRadioButton == BS_RADIOBUTTON, "BS_RADIOBUTTON");
static_assert(platform::kLbsSort == LBS_SORT, "LBS_SORT");
static_assert(platform::kSsNotify == SS_NOTIFY, "SS_NOTIFY");
static_assert(platform::kLbErr == LB_ERR, "LB_ERR");
