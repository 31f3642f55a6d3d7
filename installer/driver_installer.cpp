#include "installer/driver_installer.h"

#include <cstdio>
#include <cstring>

#include "platform/format.h"

namespace {

constexpr std::uint32_t kRegistrationPauseMs = 111;
constexpr std::size_t kPathSize = 260;
constexpr std::size_t kDirectorySize = 256;

struct VariantData {
  const char* environment;
  const char* sourceFolder;  // with its trailing backslash
};

VariantData DataOf(DriverVariant variant) {
  if (variant == DriverVariant::X64) return {"Windows x64", "Windows x64\\"};
  return {"Windows NT x86", "Windows NT x86\\"};
}

// The six Universal Printer Driver files, in copy order after the model's two files.
const char* const kSystemDriverFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL",
                                          "UNIDRV.HLP", "TTFSUB.GPD",   "STDNAMES.GPD"};

// The eight staged files in copy order: the minidriver, the GPD, then the system files.
std::vector<std::string> StagedFiles(const std::string& minidriver, const std::string& gpd) {
  std::vector<std::string> files = {minidriver, gpd};
  for (const char* name : kSystemDriverFiles) files.emplace_back(name);
  return files;
}

// 0 for a Windows older than major version 6, else 3.
std::int32_t VersionLevel(const platform::OsVersion& version) { return version.major < 6 ? 0 : 3; }

std::string JoinPath(const char* directory, const std::string& name) {
  char path[kPathSize] = {};
  std::snprintf(path, sizeof path, "%s\\%s", directory, name.c_str());
  return path;
}

}  // namespace

std::string DependentFileList(const std::string& minidriver) {
  std::string list = platform::Format("TTFSUB.GPD\nSTDNAMES.GPD\nUNIRES.DLL\n%s\n\n\n\n", minidriver.c_str());
  for (char& c : list) {
    if (c == '\n') c = '\0';
  }
  list.push_back('\0');
  return list;
}

CDriverInstaller::CDriverInstaller(platform::Platform& platform)
    : MinidriverFile("RCQ80.DLL"), GpdFile("RCQ80C.GPD"), ModelName("printer RT5140"), platform_(platform) {
  const std::string net = platform::SystemProgramPath(*platform_.system, "net");
  if (!net.empty()) platform_.shell->Execute(0, "open", net.c_str(), "start spooler", nullptr, platform::kShowHide);
  UiLanguage = platform_.system->UserDefaultUiLanguage();
}

// The package folder is one every program of the user can write to, at any time: what was
// copied from it is compared with the bytes the program carries before the spooler sees it.
// Without an unpacked package nothing is read from anywhere else.
bool CDriverInstaller::InstallDriverAndPrinter(DriverVariant variant, std::int32_t versionLevel,
                                               const char* portName) {
  const char* copyFailure = CopyFailureText(variant, UiLanguage, versionLevel);
  const std::string package = package_ == nullptr ? std::string() : package_->UnpackedDirectory();
  if (package.empty()) {
    platform_.messages->Show(copyFailure);
    return false;
  }
  char directory[kDirectorySize] = {};
  platform_.spooler->GetPrinterDriverDirectory(DataOf(variant).environment, directory, sizeof directory);
  if (!StageDriverFiles(variant, package, directory)) {
    platform_.messages->Show(copyFailure);
    return false;
  }
  if (!StagedFilesAreCarried(variant, directory)) {
    DeleteStagedFiles(directory);
    platform_.messages->Show(copyFailure);
    return false;
  }
  if (!RegisterDriver(variant)) return false;
  return CreatePrinter(variant, directory, portName);
}

// Copies the eight files from the package folder into the driver directory, every copy
// attempted. A directory the spooler did not give counts as a failure: the copies would otherwise
// land in the root of the drive. So does a source path that does not fit.
bool CDriverInstaller::StageDriverFiles(DriverVariant variant, const std::string& package, const char* directory) {
  if (directory[0] == '\0') return false;
  platform::IFileSystem& files = *platform_.files;
  files.DeleteFile(JoinPath(directory, MinidriverFile).c_str());
  files.DeleteFile(JoinPath(directory, GpdFile).c_str());
  bool copied = true;
  for (const std::string& name : StagedFiles(MinidriverFile, GpdFile)) {
    char source[kPathSize] = {};
    const int length =
        std::snprintf(source, sizeof source, "%s%s%s", package.c_str(), DataOf(variant).sourceFolder, name.c_str());
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof source ||
        !files.CopyFile(source, JoinPath(directory, name).c_str(), false)) {
      copied = false;
    }
  }
  return copied;
}

// True when every staged copy holds exactly the bytes the program carries for its file. The
// driver directory is writable by administrators only, so what is checked here stays as checked.
bool CDriverInstaller::StagedFilesAreCarried(DriverVariant variant, const char* directory) {
  for (const std::string& name : StagedFiles(MinidriverFile, GpdFile)) {
    const std::string entry = std::string(DataOf(variant).sourceFolder) + name;
    std::string carried;
    if (!package_->CarriedBytes(entry.c_str(), &carried)) return false;
    std::string staged;
    const auto limit = static_cast<std::uint32_t>(carried.size());
    if (!platform_.files->ReadWholeFile(JoinPath(directory, name).c_str(), limit, &staged)) return false;
    if (staged != carried) return false;
  }
  return true;
}

bool CDriverInstaller::RegisterDriver(DriverVariant variant) {
  const std::string dependentFiles = DependentFileList(MinidriverFile);

  platform::DriverInfo3 info;
  info.version = 3;
  info.name = ModelName.c_str();
  info.environment = DataOf(variant).environment;
  info.driverPath = "uniDRV.DLL";
  info.dataFile = GpdFile.c_str();
  info.configFile = "uniDRVUI.DLL";
  info.helpFile = "uniDRV.HLP";
  info.dependentFiles = dependentFiles.data();
  info.monitorName = nullptr;
  info.defaultDataType = "RAW";

  const bool registered = platform_.spooler->AddPrinterDriver(info);
  platform_.system->Sleep(kRegistrationPauseMs);
  if (!registered) {
    (void)ShowLastErrorText();  // the registration-failure text follows, with or without it
    platform_.messages->Show(RegistrationFailureText(variant, UiLanguage));
    return false;
  }
  platform_.system->Sleep(kRegistrationPauseMs);
  return true;
}

std::string CDriverInstaller::MakeUniquePrinterName(const std::vector<std::string>& existing) {
  std::string candidate = PrinterName;
  std::int32_t n = 1;
  for (std::uint32_t i = 0; i < existing.size(); ++i) {
    const std::string& name = existing[i];
    if (name == candidate) {
      candidate = platform::Format(CopyNameFormat(UiLanguage), PrinterName.c_str(), n);
      ++n;
      i = static_cast<std::uint32_t>(-1);
    }
    const std::string line = platform::Format("name=%s,i=%d,n=%d.temStr=%s,userLanguage=%d\r\n", name.c_str(),
                                              static_cast<std::int32_t>(i), n, candidate.c_str(), UiLanguage);
    platform_.system->DebugOutput(line.c_str());
  }
  return candidate;
}

// Creates the printer under a unique name and removes the staged files. A printer the spooler
// refused fails the installation, after its error text was shown and the staged files removed;
// an error the system has no text for shows the registration-failure text, so that no failure
// passes in silence.
bool CDriverInstaller::CreatePrinter(DriverVariant variant, const char* directory, const char* portName) {
  char listName[500] = {};
  std::vector<std::string> existing;
  if (platform_.spooler->EnumPrinterNames(platform::kPrinterEnumLocal | platform::kPrinterEnumConnections,
                                          listName, &existing)) {
    PrinterName = MakeUniquePrinterName(existing);
  }

  platform::PrinterInfo2 info;
  info.printerName = PrinterName.c_str();
  info.portName = portName;
  info.driverName = ModelName.c_str();
  info.printProcessor = "WinPrint";
  info.datatype = "RAW";
  info.attributes = platform::kPrinterAttributeLocal;
  const platform::PrinterRef printer = platform_.spooler->AddPrinter(info);
  platform_.system->Sleep(kRegistrationPauseMs);
  if (printer == 0 && !ShowLastErrorText()) platform_.messages->Show(RegistrationFailureText(variant, UiLanguage));

  std::snprintf(ResultPrinterName, sizeof ResultPrinterName, "%s", PrinterName.c_str());
  if (printer != 0) platform_.spooler->ClosePrinter(printer);
  DeleteStagedFiles(directory);
  return printer != 0;
}

// A copy takes the attributes of its source, which any program of the user can make read-only;
// the attribute is cleared first, so that a copy rejected for its bytes goes as well.
void CDriverInstaller::DeleteStagedFiles(const char* directory) {
  for (const std::string& name : StagedFiles(MinidriverFile, GpdFile)) {
    const std::string path = JoinPath(directory, name);
    (void)platform_.files->SetFileAttributes(path.c_str(), platform::kFileAttributeNormal);  // a missing copy has none
    platform_.files->DeleteFile(path.c_str());
  }
}

// Shows the system's text for the last error; false (and nothing shown) when it has none.
bool CDriverInstaller::ShowLastErrorText() {
  std::string text;
  if (!platform_.system->ErrorText(platform_.system->LastError(), &text)) return false;
  platform_.messages->Show(text.c_str());
  return true;
}

bool CDriverInstaller::IdentifySystem(const char** architecture) {
  const std::uint16_t code = platform_.system->NativeProcessorArchitecture();
  platform::OsVersion version;
  if (!platform_.system->GetVersion(&version)) return false;
  switch (code) {
    case platform::kArchitectureIntel: *architecture = "x86"; break;
    case platform::kArchitectureIa64: *architecture = "Intel Itanium-based"; break;
    case platform::kArchitectureAmd64: *architecture = "x64"; break;
    case platform::kArchitectureUnknown: *architecture = "Unknown architecture"; break;
    default: *architecture = "Unknown"; break;
  }
  return true;
}

bool CDriverInstaller::InstallPrinter(std::int32_t setDefault, const char* portName) {
  platform::OsVersion version;
  if (!platform_.system->GetVersion(&version)) return false;
  const std::int32_t versionLevel = VersionLevel(version);
  PrinterName = ModelName;
  if (!InstallDriverAndPrinter(MachineVariant(), versionLevel, portName)) return false;

  if (setDefault != 0) platform_.spooler->SetDefaultPrinter(ResultPrinterName);
  const std::string message = platform::Format(SuccessFormat(UiLanguage), ResultPrinterName, portName);
  platform_.messages->Show(message.c_str());
  return true;
}

// The variant for the machine's native architecture: x64 only for x64.
DriverVariant CDriverInstaller::MachineVariant() {
  const char* architecture = "";
  // A failed version query leaves the name empty, which picks x86 as every unknown architecture does.
  (void)IdentifySystem(&architecture);
  return std::strcmp(architecture, "x64") == 0 ? DriverVariant::X64 : DriverVariant::X86;
}

bool CDriverInstaller::PackageReady() {
  if (package_ != nullptr && !package_->UnpackedDirectory().empty()) return true;
  platform::OsVersion version;
  // A failed version query gives the text of the current systems.
  version.major = 6;
  (void)platform_.system->GetVersion(&version);
  platform_.messages->Show(CopyFailureText(MachineVariant(), UiLanguage, VersionLevel(version)));
  return false;
}
