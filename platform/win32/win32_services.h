// The Win32 back-end of the platform interfaces: each operation makes the named Windows call
// with the values the interface gives.
#pragma once

#include "platform/devices.h"
#include "platform/platform.h"
#include "platform/printing.h"
#include "platform/instances.h"
#include "platform/resources.h"

namespace win32 {

class System : public platform::ISystem {
 public:
  bool GetVersion(platform::OsVersion* version) override;
  std::uint16_t NativeProcessorArchitecture() override;
  std::uint16_t UserDefaultUiLanguage() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint32_t LastError() override;
  bool ErrorText(std::uint32_t code, std::string* text) override;
  void DebugOutput(const char* text) override;
  std::string SystemDirectory() override;
  platform::SystemTime LocalTime() override;
  bool LocalTimeToUtcFileTime(const platform::SystemTime& local, std::uint64_t* fileTime) override;
};

class Registry : public platform::IRegistry {
 public:
  long OpenKey(platform::KeyRef root, const char* path, std::uint32_t access, platform::KeyRef* key) override;
  long CreateKey(platform::KeyRef parent, const char* name, std::uint32_t access, platform::KeyRef* key) override;
  long QueryValue(platform::KeyRef key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long EnumValue(platform::KeyRef key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                 std::uint8_t* data, std::uint32_t* dataSize) override;
  long SetValue(platform::KeyRef key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long CloseKey(platform::KeyRef key) override;
};

// The spooler's functions come from winspool.drv in the system directory, loaded on first use.
class Spooler : public platform::ISpooler {
 public:
  bool GetPrinterDriverDirectory(const char* environment, char* buffer, std::uint32_t size) override;
  bool AddPrinterDriver(const platform::DriverInfo3& info) override;
  bool EnumPrinterNames(std::uint32_t flags, const char* name, std::vector<std::string>* names) override;
  platform::PrinterRef AddPrinter(const platform::PrinterInfo2& info) override;
  void ClosePrinter(platform::PrinterRef printer) override;
  void SetDefaultPrinter(const char* name) override;
  void ConfigurePort(platform::WindowRef parent, const char* port) override;
};

class FileSystem : public platform::IFileSystem {
 public:
  bool CopyFile(const char* source, const char* destination, bool failIfExists) override;
  bool DeleteFile(const char* path) override;
  bool CreateDirectory(const char* path) override;
  bool RemoveDirectory(const char* path) override;
  bool SetCurrentDirectory(const char* path) override;
  std::uint32_t GetCurrentDirectory(std::uint32_t size, char* buffer) override;
  std::uint32_t GetTempPath(std::uint32_t size, char* buffer) override;
  std::uint32_t GetFileAttributes(const char* path) override;
  bool SetFileAttributes(const char* path, std::uint32_t attributes) override;
  platform::FileRef CreateFileForWrite(const char* path, std::uint32_t attributes) override;
  bool WriteFile(platform::FileRef file, const void* data, std::uint32_t size) override;
  void SetFileTime(platform::FileRef file, std::uint64_t creation, std::uint64_t access, std::uint64_t write) override;
  void CloseFile(platform::FileRef file) override;
  bool FindFiles(const char* pattern, std::vector<platform::FoundFile>* found) override;

  platform::DirectoryRef OpenDirectory(const char* path) override;
  platform::DirectoryRef OpenChildDirectory(platform::DirectoryRef parent, const char* name) override;
  bool ListDirectory(platform::DirectoryRef directory, std::vector<platform::FoundFile>* found) override;
  bool DeleteChild(platform::DirectoryRef parent, const char* name) override;
  bool CloseAndRemoveDirectory(platform::DirectoryRef directory) override;
  void CloseDirectory(platform::DirectoryRef directory) override;
  // Reading a file back whole.
  bool ReadWholeFile(const char* path, std::uint32_t limit, std::string* content) override;
};

class Shell : public platform::IShell {
 public:
  void Execute(platform::WindowRef window, const char* verb, const char* file, const char* parameters,
               const char* directory, int show) override;
  platform::ProcessRef ExecuteEx(const platform::ShellExecuteRecord& record) override;
  void WaitForProcess(platform::ProcessRef process) override;
  void CloseProcess(platform::ProcessRef process) override;
};

// The device installation functions come from setupapi.dll in the system directory.
class DeviceInterfaces : public platform::IDeviceInterfaces {
 public:
  platform::DeviceInfoSetRef GetClassDevices(const platform::Guid& classGuid, std::uint32_t flags) override;
  bool EnumInterface(platform::DeviceInfoSetRef set, const platform::Guid& classGuid, std::uint32_t index,
                     platform::DeviceInterfaceRecord* record) override;
  bool QueryInterfaceDetailSize(platform::DeviceInfoSetRef set, const platform::DeviceInterfaceRecord& record,
                                std::uint32_t* requiredSize) override;
  bool ReadInterfaceDetail(platform::DeviceInfoSetRef set, const platform::DeviceInterfaceRecord& record,
                           std::uint8_t* detail, std::uint32_t size, std::uint32_t* requiredSize) override;
  void DestroyDeviceInfoList(platform::DeviceInfoSetRef set) override;
};

// MessageBoxA owned by the window the program named (the dialog), with the program's name as
// caption and an OK button.
class StandardMessageBox : public platform::IMessageBox {
 public:
  void Show(const char* text) override;
  void SetOwner(platform::WindowRef owner) override { owner_ = owner; }

 private:
  platform::WindowRef owner_ = 0;
};

// The graphics device interface: gdi32 and user32 (DrawTextA), both known DLLs, linked by import.
class Printing : public platform::IPrinting {
 public:
  int GetBitmapObject(platform::BitmapRef bitmap, platform::BitmapRecord* record) override;
  platform::DeviceContextRef CreateCompatibleDc(platform::DeviceContextRef reference) override;
  platform::BitmapRef SelectBitmap(platform::DeviceContextRef dc, platform::BitmapRef bitmap) override;
  platform::DeviceContextRef CreateDc(const char* driver, const char* device, const char* port,
                                      const void* deviceMode) override;
  int StartDocument(platform::DeviceContextRef dc, const platform::DocumentInfo& info) override;
  int StartPage(platform::DeviceContextRef dc) override;
  int DrawTextInRect(platform::DeviceContextRef dc, const char* text, int length, const platform::Rect& rectangle,
               std::uint32_t format) override;
  bool BitBlt(platform::DeviceContextRef dc, int x, int y, int width, int height, platform::DeviceContextRef source,
              int sourceX, int sourceY, std::uint32_t rasterOperation) override;
  bool TextOutAt(platform::DeviceContextRef dc, int x, int y, const char* text, int length) override;
  int EndPage(platform::DeviceContextRef dc) override;
  int EndDoc(platform::DeviceContextRef dc) override;
  bool DeleteDc(platform::DeviceContextRef dc) override;
};

// The resources of the program's own module (the executable the process started from).
class Resources : public platform::IResources {
 public:
  bool LoadBlock(std::uint16_t id, const char* type, platform::ResourceBlock* block) override;
  std::uintptr_t LoadIconResource(std::uint16_t id) override;
  platform::BitmapRef LoadBitmapResource(std::uint16_t id) override;
  void DeleteBitmap(platform::BitmapRef bitmap) override;
};

// Copies of the program running at once, marked by a named mutex each copy holds.
class ProgramInstances : public platform::IProgramInstances {
 public:
  void Register(const char* name) override;
  bool ReleaseAndCheckLast(const char* name) override;
};

// The record of the real machine's services, built once.
platform::Platform& MachinePlatform();

}  // namespace win32
