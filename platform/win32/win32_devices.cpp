#include <windows.h>
#include <setupapi.h>

#include <cstring>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_services.h"

namespace win32 {

namespace {

// setupapi.dll is loaded from the system directory like the other libraries of ours.
const char kSetupApi[] = "setupapi.dll";

using GetClassDevsFn = HDEVINFO(WINAPI*)(const GUID*, PCSTR, HWND, DWORD);
using EnumInterfacesFn = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD, PSP_DEVICE_INTERFACE_DATA);
using GetDetailFn = BOOL(WINAPI*)(HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_A, DWORD,
                                  PDWORD, PSP_DEVINFO_DATA);
using DestroyListFn = BOOL(WINAPI*)(HDEVINFO);

template <typename Function>
Function SetupFunction(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemFunction(kSetupApi, name)));
}

GUID ToGuid(const platform::Guid& guid) {
  GUID result;
  result.Data1 = guid.data1;
  result.Data2 = guid.data2;
  result.Data3 = guid.data3;
  std::memcpy(result.Data4, guid.data4, sizeof result.Data4);
  return result;
}

platform::Guid FromGuid(const GUID& guid) {
  platform::Guid result;
  result.data1 = guid.Data1;
  result.data2 = guid.Data2;
  result.data3 = guid.Data3;
  std::memcpy(result.data4, guid.Data4, sizeof result.data4);
  return result;
}

HDEVINFO Set(platform::DeviceInfoSetRef set) { return reinterpret_cast<HDEVINFO>(set); }

// The logic gives the record's size in the 32-bit layout (28 bytes). On 64-bit Windows the record
// is 32 bytes (its Reserved field is pointer-sized and 8-aligned) and the system refuses any other
// size, so the native size is passed there.
DWORD NativeInterfaceRecordSize(std::uint32_t cbSize) {
  return cbSize == platform::kInterfaceRecordSize ? sizeof(SP_DEVICE_INTERFACE_DATA) : cbSize;
}

// Likewise the detail record's fixed part: 5 bytes in the 32-bit layout, 8 on 64-bit Windows
// (the record is padded to the alignment of its cbSize there).
DWORD NativeDetailFixedSize(DWORD cbSize) {
  return cbSize == platform::kDetailFixedSize ? sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) : cbSize;
}

SP_DEVICE_INTERFACE_DATA NativeRecord(const platform::DeviceInterfaceRecord& record) {
  SP_DEVICE_INTERFACE_DATA data;
  ZeroMemory(&data, sizeof data);
  data.cbSize = NativeInterfaceRecordSize(record.cbSize);
  data.InterfaceClassGuid = ToGuid(record.interfaceClass);
  data.Flags = record.flags;
  data.Reserved = record.reserved;
  return data;
}

}  // namespace

platform::DeviceInfoSetRef DeviceInterfaces::GetClassDevices(const platform::Guid& classGuid, std::uint32_t flags) {
  auto getClassDevs = SetupFunction<GetClassDevsFn>("SetupDiGetClassDevsA");
  if (getClassDevs == nullptr) return platform::kInvalidDeviceInfoSet;
  const GUID guid = ToGuid(classGuid);
  HDEVINFO set = getClassDevs(&guid, nullptr, nullptr, flags);
  if (set == INVALID_HANDLE_VALUE) return platform::kInvalidDeviceInfoSet;
  return reinterpret_cast<platform::DeviceInfoSetRef>(set);
}

bool DeviceInterfaces::EnumInterface(platform::DeviceInfoSetRef set, const platform::Guid& classGuid,
                                     std::uint32_t index, platform::DeviceInterfaceRecord* record) {
  auto enumInterfaces = SetupFunction<EnumInterfacesFn>("SetupDiEnumDeviceInterfaces");
  if (enumInterfaces == nullptr) return false;
  const GUID guid = ToGuid(classGuid);
  SP_DEVICE_INTERFACE_DATA data = NativeRecord(*record);
  if (!enumInterfaces(Set(set), nullptr, &guid, index, &data)) return false;
  record->interfaceClass = FromGuid(data.InterfaceClassGuid);
  record->flags = data.Flags;
  record->reserved = data.Reserved;
  return true;
}

bool DeviceInterfaces::QueryInterfaceDetailSize(platform::DeviceInfoSetRef set,
                                                const platform::DeviceInterfaceRecord& record,
                                                std::uint32_t* requiredSize) {
  auto getDetail = SetupFunction<GetDetailFn>("SetupDiGetDeviceInterfaceDetailA");
  if (getDetail == nullptr) return false;
  SP_DEVICE_INTERFACE_DATA data = NativeRecord(record);
  DWORD required = *requiredSize;
  const BOOL result = getDetail(Set(set), &data, nullptr, 0, &required, nullptr);
  *requiredSize = required;
  return result != FALSE;
}

bool DeviceInterfaces::ReadInterfaceDetail(platform::DeviceInfoSetRef set, const platform::DeviceInterfaceRecord& record,
                                           std::uint8_t* detail, std::uint32_t size, std::uint32_t* requiredSize) {
  auto getDetail = SetupFunction<GetDetailFn>("SetupDiGetDeviceInterfaceDetailA");
  if (getDetail == nullptr) return false;
  SP_DEVICE_INTERFACE_DATA data = NativeRecord(record);
  auto* native = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(detail);
  if (size >= sizeof native->cbSize) native->cbSize = NativeDetailFixedSize(native->cbSize);
  DWORD required = requiredSize == nullptr ? 0 : *requiredSize;
  const BOOL result = getDetail(Set(set), &data, native, size, requiredSize == nullptr ? nullptr : &required, nullptr);
  if (requiredSize != nullptr) *requiredSize = required;
  return result != FALSE;
}

void DeviceInterfaces::DestroyDeviceInfoList(platform::DeviceInfoSetRef set) {
  auto destroy = SetupFunction<DestroyListFn>("SetupDiDestroyDeviceInfoList");
  if (destroy != nullptr) destroy(Set(set));
}

}  // namespace win32
