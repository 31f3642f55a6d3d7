#include "platform/sim/sim_spooler.h"

#include <cstring>
#include <strings.h>

#include "platform/types.h"

namespace sim {

namespace {

constexpr std::uint32_t kErrorInvalidEnvironment = 1805;
constexpr std::uint32_t kRpcServerUnavailable = 1722;
constexpr char kTcpPortsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

std::string Text(const char* text) { return text == nullptr ? std::string() : std::string(text); }

// The names of a NUL-separated list ended by an empty name.
std::vector<std::string> ListNames(const char* list) {
  std::vector<std::string> names;
  if (list == nullptr) return names;
  for (const char* p = list; *p != '\0'; p += std::strlen(p) + 1) names.emplace_back(p);
  return names;
}

// The list's bytes up to and including the NUL of its empty name.
std::string ListBytes(const char* list) {
  if (list == nullptr) return std::string();
  const char* p = list;
  while (*p != '\0') p += std::strlen(p) + 1;
  return std::string(list, static_cast<std::size_t>(p - list) + 1);
}

}  // namespace

SimSpooler::SimSpooler(SimSystem& system, SimFileSystem& files, SimRegistry& registry, Faults& faults, Trace& trace)
    : system_(system), files_(files), registry_(registry), faults_(faults), trace_(trace) {
  files_.PutDirectory(DriverDirectory("Windows NT x86"));
  files_.PutDirectory(DriverDirectory("Windows x64"));
}

bool SimSpooler::Fails(const char* call) {
  std::uint32_t error = 0;
  if (!running) {
    system_.SetLastError(kRpcServerUnavailable);
    return true;
  }
  if (!faults_.ShouldFail(call, &error)) return false;
  system_.SetLastError(error);
  return true;
}

std::string SimSpooler::DriverDirectory(const std::string& environment) const {
  const std::string base = system_.systemDirectory + "\\spool\\drivers\\";
  if (environment == "Windows NT x86") return base + "W32X86";
  if (environment == "Windows x64") return base + "x64";
  return std::string();
}

std::string SimSpooler::EnvironmentOfMachine() const {
  return system_.architecture == platform::kArchitectureAmd64 ? "Windows x64" : "Windows NT x86";
}

bool SimSpooler::GetPrinterDriverDirectory(const char* environment, char* buffer, std::uint32_t size) {
  trace_.push_back(std::string("GetPrinterDriverDirectoryA ") + environment);
  if (Fails("GetPrinterDriverDirectoryA")) return false;
  const std::string directory = DriverDirectory(Text(environment));
  if (directory.empty()) {
    system_.SetLastError(kErrorInvalidEnvironment);
    return false;
  }
  if (directory.size() + 1 > size) {
    system_.SetLastError(platform::kErrorInsufficientBuffer);
    return false;
  }
  std::memcpy(buffer, directory.c_str(), directory.size() + 1);
  return true;
}

// Takes the named files from the driver directory into the environment's version folder, as the
// spooler does; a file that is not there fails the registration.
bool SimSpooler::AddPrinterDriver(const platform::DriverInfo3& info) {
  trace_.push_back("AddPrinterDriverA " + Text(info.name) + " " + Text(info.environment));
  if (Fails("AddPrinterDriverA")) return false;
  const std::string directory = DriverDirectory(Text(info.environment));
  if (directory.empty()) {
    system_.SetLastError(kErrorInvalidEnvironment);
    return false;
  }
  if (info.version != 3 || info.name == nullptr || info.driverPath == nullptr) {
    system_.SetLastError(platform::kErrorInvalidParameter);
    return false;
  }
  std::vector<std::string> names = {Text(info.driverPath), Text(info.dataFile), Text(info.configFile)};
  if (info.helpFile != nullptr) names.push_back(info.helpFile);
  for (const std::string& name : ListNames(info.dependentFiles)) names.push_back(name);
  for (const std::string& name : names) {
    if (!files_.Exists(directory + "\\" + name) || files_.IsDirectory(directory + "\\" + name)) {
      system_.SetLastError(platform::kErrorFileNotFound);
      return false;
    }
  }
  const std::string store = directory + "\\3";
  files_.PutDirectory(store);
  for (const std::string& name : names) {
    files_.PutFile(store + "\\" + name, files_.ReadFile(directory + "\\" + name).value_or(""));
  }
  SimDriver driver{info.version,         Text(info.name),       Text(info.environment),
                   Text(info.driverPath), Text(info.dataFile),   Text(info.configFile),
                   Text(info.helpFile),   ListBytes(info.dependentFiles), info.monitorName == nullptr,
                   Text(info.defaultDataType)};
  for (SimDriver& existing : drivers) {
    if (existing.name == driver.name && existing.environment == driver.environment) {
      existing = driver;
      return true;
    }
  }
  drivers.push_back(driver);
  return true;
}

bool SimSpooler::EnumPrinterNames(std::uint32_t flags, const char* name, std::vector<std::string>* names) {
  trace_.push_back("EnumPrintersA " + std::to_string(flags) + " \"" + Text(name) + "\"");
  std::uint32_t error = 0;
  if (faults_.ShouldFail("EnumPrintersA.buffer", &error)) return false;
  if (Fails("EnumPrintersA")) return false;
  for (const SimPrinter& printer : printers) names->push_back(printer.name);
  return true;
}

platform::PrinterRef SimSpooler::AddPrinter(const platform::PrinterInfo2& info) {
  trace_.push_back("AddPrinterA " + Text(info.printerName) + " " + Text(info.portName));
  if (Fails("AddPrinterA")) return 0;
  const std::string name = Text(info.printerName);
  if (name.empty() || name.find_first_of("\\,!") != std::string::npos) {
    system_.SetLastError(platform::kErrorInvalidPrinterName);
    return 0;
  }
  if (Printer(name) != nullptr) {
    system_.SetLastError(platform::kErrorPrinterAlreadyExists);
    return 0;
  }
  if (Driver(Text(info.driverName), EnvironmentOfMachine()) == nullptr) {
    system_.SetLastError(platform::kErrorUnknownPrinterDriver);
    return 0;
  }
  if (ports.count(Text(info.portName)) == 0) {
    system_.SetLastError(platform::kErrorUnknownPort);
    return 0;
  }
  printers.push_back(SimPrinter{name, Text(info.portName), Text(info.driverName), Text(info.printProcessor),
                                Text(info.datatype), info.attributes, info.serverName == nullptr});
  ++openPrinters;
  return nextPrinter_++;
}

void SimSpooler::ClosePrinter(platform::PrinterRef printer) {
  trace_.push_back("ClosePrinter");
  if (printer != 0) --openPrinters;
}

void SimSpooler::SetDefaultPrinter(const char* name) {
  trace_.push_back("SetDefaultPrinter " + Text(name));
  if (Fails("SetDefaultPrinter")) return;
  if (Printer(Text(name)) != nullptr) defaultPrinter = name;
}

void SimSpooler::ConfigurePort(platform::WindowRef, const char* port) {
  trace_.push_back("ConfigurePortA " + Text(port));
  configuredPorts.push_back(Text(port));
}

void SimSpooler::AddExistingPrinter(const std::string& name, const std::string& port) {
  printers.push_back(SimPrinter{name, port, "Generic", "WinPrint", "RAW", platform::kPrinterAttributeLocal, true});
}

const SimPrinter* SimSpooler::Printer(const std::string& name) const {
  for (const SimPrinter& printer : printers) {
    if (strcasecmp(printer.name.c_str(), name.c_str()) == 0) return &printer;
  }
  return nullptr;
}

const SimDriver* SimSpooler::Driver(const std::string& name, const std::string& environment) const {
  for (const SimDriver& driver : drivers) {
    if (driver.name == name && driver.environment == environment) return &driver;
  }
  return nullptr;
}

void SimSpooler::SetRunning(bool run) {
  running = run;
  if (!run) return;
  for (const std::string& port : registry_.Subkeys(platform::kHkeyLocalMachine, kTcpPortsKey)) ports.insert(port);
}

}  // namespace sim
