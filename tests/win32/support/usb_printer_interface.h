// A USB printer interface made in Wine's device registry with SetupAPI, as a plugged-in printer
// would leave it, and removed again when the object goes.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

namespace wine_test {

const char kDeviceClasses[] = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
const GUID kUsbPrinterClass = {0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
const GUID kUsbSetupClass = {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The interface of the device instance id, with its "Port Number"; ready() once it is present.
class UsbPrinterInterface {
 public:
  UsbPrinterInterface(const char* instanceId, DWORD portNumber) {
    set_ = SetupDiCreateDeviceInfoList(&kUsbSetupClass, nullptr);
    if (set_ == INVALID_HANDLE_VALUE) return;
    device_.cbSize = sizeof device_;
    if (!SetupDiCreateDeviceInfoA(set_, instanceId, &kUsbSetupClass, nullptr, nullptr, 0, &device_)) return;
    if (!SetupDiRegisterDeviceInfo(set_, &device_, 0, nullptr, nullptr, nullptr)) return;
    deviceMade_ = true;
    interface_.cbSize = sizeof interface_;
    if (!SetupDiCreateDeviceInterfaceA(set_, &device_, &kUsbPrinterClass, nullptr, 0, &interface_)) return;
    interfaceMade_ = true;
    HKEY parameters = SetupDiCreateDeviceInterfaceRegKeyA(set_, &interface_, 0, KEY_ALL_ACCESS, nullptr, nullptr);
    if (parameters == INVALID_HANDLE_VALUE) return;
    RegSetValueExA(parameters, "Port Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&portNumber),
                   sizeof portNumber);
    RegCloseKey(parameters);
    path_ = DevicePath();
    if (path_.empty()) return;
    // Wine counts an interface as active only when its "Control" key says it is linked.
    std::string keyPath = path_;
    for (char& c : keyPath) {
      if (c == '\\') c = '#';
    }
    const std::string control = std::string(kDeviceClasses) + "\\" + keyPath + "\\#\\Control";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, control.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    const DWORD linked = 1;
    ready_ = RegSetValueExA(key, "Linked", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&linked), sizeof linked) ==
             ERROR_SUCCESS;
    RegCloseKey(key);
  }

  ~UsbPrinterInterface() {
    if (interfaceMade_) SetupDiRemoveDeviceInterface(set_, &interface_);
    if (deviceMade_) SetupDiRemoveDevice(set_, &device_);
    if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
  }

  bool ready() const { return ready_; }
  const std::string& path() const { return path_; }

 private:
  std::string DevicePath() {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(set_, &interface_, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return std::string();
    std::vector<BYTE> bytes(required);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(bytes.data());
    detail->cbSize = sizeof *detail;
    if (!SetupDiGetDeviceInterfaceDetailA(set_, &interface_, detail, required, nullptr, nullptr)) return std::string();
    return detail->DevicePath;
  }

  HDEVINFO set_ = INVALID_HANDLE_VALUE;
  SP_DEVINFO_DATA device_ = {};
  SP_DEVICE_INTERFACE_DATA interface_ = {};
  bool deviceMade_ = false;
  bool interfaceMade_ = false;
  bool ready_ = false;
  std::string path_;
};

}  // namespace wine_test
