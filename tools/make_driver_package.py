#!/usr/bin/env python3
"""Builds the two driver package archives that the program carries as ZIP resources 129 and 138.

The archives are reproducible: the same inputs give the same bytes on every build. Entries carry
one fixed DOS time, a DOS host, external attributes 0x10 (folders) and 0x20 (files), no extra
fields and no archive comment; folders are stored and files deflated.

Inputs:
  --sources DIR       resources/driver: minidriver/*.GPD and inf/*.INF
  --system-files DIR  the operating system's files: x86/ and x64/ with the six Universal Printer
                      Driver files, and x86|x64/chinese|english/ with the signature catalogues
                      (resources/driver/stand-ins, or the folder a release build points at)
  --dlls DIR          the built minidriver DLLs: chinese|english/x86|x64/RCQ80.DLL and ZN80.DLL
  --output DIR        receives driver-package-129.zip and driver-package-138.zip
"""

import argparse
import os
import sys
import zipfile

# 2021-07-28 11:22:48, local time of the machine that unpacks.
PACKAGE_TIME = (2021, 7, 28, 11, 22, 48)

SYSTEM_FILES = ["UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD"]

# Folder in the archive, folder of the inputs, suffix of INF and catalogue names.
ARCHITECTURES = {
    "x64": ("Windows x64", "x64", "x64"),
    "x86": ("Windows NT x86", "x86", ""),
}

# The x86 RCQDRV.INF names its models section @MODELS@; each package gives it its own name.
VARIANTS = {
    "chinese": {"resource": 129, "models": "RCQ_Models_CHS", "rcq_order": ["x64", "x86"]},
    "english": {"resource": 138, "models": "RCQ_Models", "rcq_order": ["x86", "x64"]},
}


def read(path):
    with open(path, "rb") as stream:
        return stream.read()


def crlf(data):
    """Text files of the package use Windows line ends, whatever the checkout has."""
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


class Inputs:
    def __init__(self, sources, system_files, dlls):
        self.sources = sources
        self.system_files = system_files
        self.dlls = dlls
        self.missing = []

    def need(self, path):
        """The file's bytes; its name is matched without regard to case, as Windows does."""
        folder, name = os.path.split(path)
        if os.path.isdir(folder) and not os.path.isfile(path):
            for candidate in sorted(os.listdir(folder)):
                if candidate.lower() == name.lower():
                    path = os.path.join(folder, candidate)
                    break
        if not os.path.isfile(path):
            self.missing.append(path)
            return b""
        return read(path)

    def system(self, arch, name):
        return self.need(os.path.join(self.system_files, ARCHITECTURES[arch][1], name))

    def catalogue(self, variant, arch, name):
        return self.need(os.path.join(self.system_files, ARCHITECTURES[arch][1], variant, name))

    def dll(self, variant, arch, name):
        return self.need(os.path.join(self.dlls, variant, ARCHITECTURES[arch][1], name))

    def gpd(self, name):
        return crlf(self.need(os.path.join(self.sources, "minidriver", name)))

    def inf(self, name, models=None):
        data = crlf(self.need(os.path.join(self.sources, "inf", name)))
        if models is not None:
            data = data.replace(b"@MODELS@", models.encode("ascii"))
        return data


def zn_files(inputs, variant, arch):
    """The six system files and the four files of the ZN80 model, in archive order."""
    suffix = ARCHITECTURES[arch][2]
    files = [(name, inputs.system(arch, name)) for name in SYSTEM_FILES]
    files.append(("ZNDRV%s.INF" % suffix, inputs.inf("ZNDRV%s.INF" % suffix)))
    files.append(("ZN80.DLL", inputs.dll(variant, arch, "ZN80.DLL")))
    files.append(("ZN80C.GPD", inputs.gpd("ZN80C.GPD")))
    files.append(("ZNDRV%s.cat" % suffix, inputs.catalogue(variant, arch, "ZNDRV%s.cat" % suffix)))
    return files


def rcq_files(inputs, variant, arch):
    """The four files of the RT5140 model, in archive order."""
    suffix = ARCHITECTURES[arch][2]
    models = VARIANTS[variant]["models"] if arch == "x86" else None
    return [
        ("RCQ80.DLL", inputs.dll(variant, arch, "RCQ80.DLL")),
        ("RCQ80C.GPD", inputs.gpd("RCQ80C.GPD")),
        ("RCQDRV%s.INF" % suffix, inputs.inf("RCQDRV%s.INF" % suffix, models)),
        ("RCQDRV%s.cat" % suffix, inputs.catalogue(variant, arch, "RCQDRV%s.cat" % suffix)),
    ]


def package_entries(inputs, variant):
    """(name, data) in archive order; data None marks a folder entry."""
    entries = []
    for arch in ("x64", "x86"):
        folder = ARCHITECTURES[arch][0]
        entries.append((folder + "/", None))
        entries += [(folder + "/" + name, data) for name, data in zn_files(inputs, variant, arch)]
    for arch in VARIANTS[variant]["rcq_order"]:
        folder = ARCHITECTURES[arch][0]
        entries += [(folder + "/" + name, data) for name, data in rcq_files(inputs, variant, arch)]
    return entries


def write_archive(path, entries):
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=PACKAGE_TIME)
            info.create_system = 0
            if data is None:
                info.external_attr = 0x10
                info.compress_type = zipfile.ZIP_STORED
                archive.writestr(info, b"")
            else:
                info.external_attr = 0x20
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, data, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sources", required=True)
    parser.add_argument("--system-files", required=True)
    parser.add_argument("--dlls", required=True)
    parser.add_argument("--output", required=True)
    options = parser.parse_args()

    inputs = Inputs(options.sources, options.system_files, options.dlls)
    packages = {variant: package_entries(inputs, variant) for variant in VARIANTS}
    if inputs.missing:
        for path in sorted(set(inputs.missing)):
            print("make_driver_package: missing %s" % path, file=sys.stderr)
        return 1
    os.makedirs(options.output, exist_ok=True)
    for variant, entries in packages.items():
        name = "driver-package-%d.zip" % VARIANTS[variant]["resource"]
        temporary = os.path.join(options.output, name + ".tmp")
        write_archive(temporary, entries)
        os.replace(temporary, os.path.join(options.output, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
