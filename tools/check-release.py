#!/usr/bin/env python3
"""Checks the shipped Setup.exe (tools/make-release.sh) from its headers.

    check-release.py dist DIST_DIR [--forbid TEXT]...

Setup.exe must be marked for address-space randomisation, no execution of data and terminal
servers; carry a link time stamp of 0, no symbols and no debug sections; name its debug file
with the right CRC in .gnu_debuglink; and hold the stack protector's failure handler. The debug
file must carry the debug information and the stack protector's symbols. Neither file may
contain any --forbid text (the build's folders).

    check-release.py same-program SIGNED UNSIGNED

SIGNED must be UNSIGNED with an Authenticode signature added and nothing else changed: the same
bytes apart from the header's checksum and certificate table entry, then zeros up to the
certificate table, which runs to the end of the file. This is how anyone checks that a signed
Setup.exe is the program that these sources build.

Prints each finding; exits 1 on any failure.
"""
import argparse
import os
import struct
import sys
import zlib

# DOS header
DOS_MAGIC = b"MZ"
DOS_PE_OFFSET = 0x3C
# PE signature, then the file header
PE_SIGNATURE = b"PE\0\0"
FILE_HEADER_SIZE = 20
FH_NUMBER_OF_SECTIONS = 2
FH_TIME_DATE_STAMP = 4
FH_POINTER_TO_SYMBOL_TABLE = 8
FH_NUMBER_OF_SYMBOLS = 12
FH_SIZE_OF_OPTIONAL_HEADER = 16
# Optional header (the same offset in PE32 and PE32+)
OH_MAGIC = 0
OH_CHECKSUM = 64
OH_DLL_CHARACTERISTICS = 70
OH_DATA_DIRECTORIES = {0x10B: 96, 0x20B: 112}  # by magic
DATA_DIRECTORY_SIZE = 8
SECURITY_DIRECTORY = 4  # its address is a file offset, not a virtual address
PE32_MAGIC = 0x10B
PE32_PLUS_MAGIC = 0x20B
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
TERMINAL_SERVER_AWARE = 0x8000
# Section header
SECTION_HEADER_SIZE = 40
SH_NAME_SIZE = 8
SH_SIZE_OF_RAW_DATA = 16
SH_POINTER_TO_RAW_DATA = 20
# COFF symbol table; the string table follows it, its first 4 bytes are its size
SYMBOL_SIZE = 18
SYM_NAME_SIZE = 8
SYM_NUMBER_OF_AUX_SYMBOLS = 17

# What libssp's __stack_chk_fail writes before ending the program.
STACK_SMASHING_MESSAGE = b"*** stack smashing detected ***"


def u16(data, offset):
    return struct.unpack_from("<H", data, offset)[0]


def u32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def c_string(data, offset):
    end = data.index(b"\0", offset)
    return data[offset:end].decode("latin-1")


class PeFile:
    """The headers, sections and symbol names of a PE file held in memory."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = data = f.read()
        if data[:2] != DOS_MAGIC:
            raise ValueError(f"{path}: no DOS header")
        pe = u32(data, DOS_PE_OFFSET)
        if data[pe:pe + 4] != PE_SIGNATURE:
            raise ValueError(f"{path}: no PE signature")
        header = pe + 4
        self.time_date_stamp = u32(data, header + FH_TIME_DATE_STAMP)
        self.symbol_table = u32(data, header + FH_POINTER_TO_SYMBOL_TABLE)
        self.number_of_symbols = u32(data, header + FH_NUMBER_OF_SYMBOLS)
        optional = header + FILE_HEADER_SIZE
        self.magic = u16(data, optional + OH_MAGIC)
        if self.magic not in (PE32_MAGIC, PE32_PLUS_MAGIC):
            raise ValueError(f"{path}: unknown optional header magic {self.magic:#x}")
        self.dll_characteristics = u16(data, optional + OH_DLL_CHARACTERISTICS)
        self.checksum_at = optional + OH_CHECKSUM
        self.security_entry_at = (optional + OH_DATA_DIRECTORIES[self.magic]
                                  + SECURITY_DIRECTORY * DATA_DIRECTORY_SIZE)
        self.certificates_at = u32(data, self.security_entry_at)
        self.certificates_size = u32(data, self.security_entry_at + 4)
        first_section = optional + u16(data, header + FH_SIZE_OF_OPTIONAL_HEADER)
        self.sections = {}
        for index in range(u16(data, header + FH_NUMBER_OF_SECTIONS)):
            at = first_section + index * SECTION_HEADER_SIZE
            name = self._section_name(data[at:at + SH_NAME_SIZE])
            start = u32(data, at + SH_POINTER_TO_RAW_DATA)
            self.sections[name] = data[start:start + u32(data, at + SH_SIZE_OF_RAW_DATA)]

    def _string_table(self):
        return self.symbol_table + self.number_of_symbols * SYMBOL_SIZE

    def _section_name(self, raw):
        name = raw.rstrip(b"\0").decode("latin-1")
        # A longer name is "/" and the decimal offset of the name in the string table.
        if name.startswith("/") and self.symbol_table:
            return c_string(self.data, self._string_table() + int(name[1:]))
        return name

    def symbol_names(self):
        names = set()
        index = 0
        while index < self.number_of_symbols:
            at = self.symbol_table + index * SYMBOL_SIZE
            raw = self.data[at:at + SYM_NAME_SIZE]
            if u32(raw, 0) == 0:  # zeroes, then the offset in the string table
                names.add(c_string(self.data, self._string_table() + u32(raw, 4)))
            else:
                names.add(raw.rstrip(b"\0").decode("latin-1"))
            index += 1 + self.data[at + SYM_NUMBER_OF_AUX_SYMBOLS]
        return names


def debug_link(section):
    """The file name and CRC that a .gnu_debuglink section holds."""
    name = c_string(section, 0)
    crc_at = (len(name) + 1 + 3) & ~3
    return name, u32(section, crc_at)


class Checks:
    def __init__(self):
        self.failed = False

    def expect(self, condition, what):
        print(("ok:     " if condition else "FAILED: ") + what)
        self.failed |= not condition


def check_dist(args, checks):
    program_path = os.path.join(args.dist, "Setup.exe")
    debug_path = os.path.join(args.dist, "Setup.exe.debug")
    program = PeFile(program_path)
    debug = PeFile(debug_path)

    flags = program.dll_characteristics
    for flag, name in ((DYNAMIC_BASE, "DYNAMIC_BASE"), (NX_COMPAT, "NX_COMPAT"),
                       (TERMINAL_SERVER_AWARE, "TERMINAL_SERVER_AWARE")):
        checks.expect(flags & flag, f"Setup.exe is marked {name} (DllCharacteristics {flags:#06x})")
    checks.expect(program.time_date_stamp == 0,
                  f"Setup.exe's link time stamp is 0 ({program.time_date_stamp:#x})")
    checks.expect(program.number_of_symbols == 0,
                  f"Setup.exe has no symbols ({program.number_of_symbols})")
    debug_sections = sorted(s for s in program.sections if s.startswith((".debug", ".zdebug", "/")))
    checks.expect(not debug_sections, f"Setup.exe has no debug sections {debug_sections}")
    checks.expect(STACK_SMASHING_MESSAGE in program.data,
                  "Setup.exe holds the stack protector's failure handler")

    link = program.sections.get(".gnu_debuglink")
    checks.expect(link is not None, "Setup.exe has a .gnu_debuglink section")
    if link is not None:
        name, crc = debug_link(link)
        actual = zlib.crc32(debug.data)
        checks.expect(name == "Setup.exe.debug" and crc == actual,
                      f"the debug link names {name} with CRC {crc:#010x} (file: {actual:#010x})")
    checks.expect(".debug_info" in debug.sections and ".debug_line" in debug.sections,
                  "Setup.exe.debug holds the debug information")
    symbols = {s.lstrip("_") for s in debug.symbol_names()}
    checks.expect({"stack_chk_fail", "stack_chk_guard"} <= symbols,
                  "Setup.exe.debug lists the stack protector's __stack_chk_fail and __stack_chk_guard")

    for text in args.forbid:
        for path, pe in ((program_path, program), (debug_path, debug)):
            checks.expect(text.encode() not in pe.data, f"{os.path.basename(path)} does not contain {text}")


def without_signature_fields(pe):
    """The file's bytes up to its certificate table, with the checksum and table entry zeroed."""
    end = pe.certificates_at if pe.certificates_size else len(pe.data)
    data = bytearray(pe.data[:end])
    data[pe.checksum_at:pe.checksum_at + 4] = bytes(4)
    data[pe.security_entry_at:pe.security_entry_at + DATA_DIRECTORY_SIZE] = bytes(DATA_DIRECTORY_SIZE)
    return data


def check_same_program(args, checks):
    signed = PeFile(args.signed)
    unsigned = PeFile(args.unsigned)
    checks.expect(unsigned.certificates_size == 0, f"{args.unsigned} carries no signature")
    checks.expect(signed.certificates_size > 0
                  and signed.certificates_at + signed.certificates_size == len(signed.data),
                  f"{args.signed} ends with its certificate table")
    covered = without_signature_fields(signed)
    original = without_signature_fields(unsigned)
    checks.expect(covered[:len(original)] == original,
                  f"{args.signed} holds the bytes of {args.unsigned}")
    checks.expect(not any(covered[len(original):]), "only zeros pad the program up to its certificate table")


def main():
    parser = argparse.ArgumentParser()
    commands = parser.add_subparsers(dest="command", required=True)
    dist = commands.add_parser("dist")
    dist.add_argument("dist")
    dist.add_argument("--forbid", action="append", default=[])
    dist.set_defaults(run=check_dist)
    same = commands.add_parser("same-program")
    same.add_argument("signed")
    same.add_argument("unsigned")
    same.set_defaults(run=check_same_program)
    args = parser.parse_args()
    checks = Checks()
    args.run(args, checks)
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
