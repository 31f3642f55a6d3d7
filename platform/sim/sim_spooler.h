// The simulated print spooler: a driver directory per environment, a driver store that takes
// the named files from it, printers with their ports, the default printer, and a running state
// that the "net" commands switch.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "platform/spooler.h"

namespace sim {

// A registered driver, with copies of everything its record named.
struct SimDriver {
  std::uint32_t version = 0;
  std::string name;
  std::string environment;
  std::string driverPath;
  std::string dataFile;
  std::string configFile;
  std::string helpFile;
  std::string dependentFiles;  // the whole list, its NULs included, up to and with the empty name
  bool monitorNameNull = true;
  std::string defaultDataType;
};

struct SimPrinter {
  std::string name;
  std::string port;
  std::string driver;
  std::string printProcessor;
  std::string datatype;
  std::uint32_t attributes = 0;
  bool serverNull = true;
};

class SimSpooler : public platform::ISpooler {
 public:
  SimSpooler(SimSystem& system, SimFileSystem& files, SimRegistry& registry, Faults& faults, Trace& trace);

  bool GetPrinterDriverDirectory(const char* environment, char* buffer, std::uint32_t size) override;
  bool AddPrinterDriver(const platform::DriverInfo3& info) override;
  bool EnumPrinterNames(std::uint32_t flags, const char* name, std::vector<std::string>* names) override;
  platform::PrinterRef AddPrinter(const platform::PrinterInfo2& info) override;
  void ClosePrinter(platform::PrinterRef printer) override;
  void SetDefaultPrinter(const char* name) override;
  void ConfigurePort(platform::WindowRef parent, const char* port) override;

  // The driver directory of an environment ("" for an unknown one).
  std::string DriverDirectory(const std::string& environment) const;
  // Adds a printer as if another program had created it.
  void AddExistingPrinter(const std::string& name, const std::string& port = "LPT1:");
  const SimPrinter* Printer(const std::string& name) const;
  const SimDriver* Driver(const std::string& name, const std::string& environment) const;
  // Stops or starts the spooler; a start picks up the Standard TCP/IP ports of the registry.
  void SetRunning(bool running);

  std::vector<SimPrinter> printers;
  std::vector<SimDriver> drivers;
  std::set<std::string> ports{"LPT1:", "LPT2:", "COM1:", "COM2:", "FILE:", "USB001", "USB002"};
  std::string defaultPrinter;
  std::vector<std::string> configuredPorts;
  bool running = true;
  int openPrinters = 0;

 private:
  bool Fails(const char* call);
  std::string EnvironmentOfMachine() const;

  SimSystem& system_;
  SimFileSystem& files_;
  SimRegistry& registry_;
  Faults& faults_;
  Trace& trace_;
  platform::PrinterRef nextPrinter_ = 0x5000;
};

}  // namespace sim
