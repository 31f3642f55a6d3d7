#!/usr/bin/env python3
"""Turns a dialog description (resources/*.dlg) into the two forms the build needs:

  --rc FILE   a resource script in code page 936 for windres (the dialog, and the bitmaps it shows)
  --cpp FILE  a C++ table of the same template for the simulated window of the host tests

Both come from the one description, so the program's template and the simulation cannot differ.
"""

import argparse
import os
import re
import sys

# The Windows constants a description may name, with their values.
CONSTANTS = {
    "WS_POPUP": 0x80000000, "WS_CHILD": 0x40000000, "WS_VISIBLE": 0x10000000,
    "WS_DISABLED": 0x08000000, "WS_CAPTION": 0x00C00000, "WS_BORDER": 0x00800000,
    "WS_VSCROLL": 0x00200000, "WS_SYSMENU": 0x00080000, "WS_GROUP": 0x00020000,
    "WS_MINIMIZEBOX": 0x00020000, "WS_TABSTOP": 0x00010000,
    "DS_MODALFRAME": 0x80, "DS_SETFONT": 0x40, "DS_FIXEDSYS": 0x08,
    "WS_EX_DLGMODALFRAME": 0x1, "WS_EX_STATICEDGE": 0x20000, "WS_EX_APPWINDOW": 0x40000,
    "BS_PUSHBUTTON": 0x0, "BS_DEFPUSHBUTTON": 0x1, "BS_GROUPBOX": 0x7,
    "BS_AUTORADIOBUTTON": 0x9, "BS_FLAT": 0x8000,
    "LBS_NOTIFY": 0x1, "LBS_SORT": 0x2, "LBS_NOINTEGRALHEIGHT": 0x100,
    "SS_LEFT": 0x0, "SS_CENTER": 0x1, "SS_BITMAP": 0xE, "SS_NOTIFY": 0x100,
    "ES_MULTILINE": 0x4, "ES_READONLY": 0x800,
}
WS_CHILD = CONSTANTS["WS_CHILD"]
WS_VISIBLE = CONSTANTS["WS_VISIBLE"]


class DescriptionError(Exception):
    pass


def flags(field, where):
    if field == "-":
        return 0
    value = 0
    for name in field.split():
        if name not in CONSTANTS:
            raise DescriptionError(f"{where}: unknown constant {name}")
        value |= CONSTANTS[name]
    return value


def numbers(field, count, where):
    parts = [p.strip() for p in field.split(",")]
    if len(parts) != count:
        raise DescriptionError(f"{where}: expected {count} numbers in '{field}'")
    try:
        return [int(p) for p in parts]
    except ValueError:
        raise DescriptionError(f"{where}: not a number in '{field}'")


def text(field, where):
    """A quoted text gives (text, 0); #n gives (None, n); - gives (None, 0)."""
    if field == "-":
        return None, 0
    if re.fullmatch(r"#\d+", field):
        return None, int(field[1:])
    if len(field) >= 2 and field[0] == '"' and field[-1] == '"' and '"' not in field[1:-1]:
        return field[1:-1], 0
    raise DescriptionError(f"{where}: a text is quoted, #n or -: {field}")


def parse(path):
    dialogs, bitmaps = [], []
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            where = f"{path}:{number}"
            fields = [f.strip() for f in line.split("|")]
            kind = fields[0]
            if kind == "dialog" and len(fields) == 8:
                font = [f.strip() for f in fields[6].split(",")]
                caption, _ = text(fields[7], where)
                dialogs.append({
                    "id": int(fields[1]), "rect": numbers(fields[2], 4, where),
                    "style": flags(fields[3], where), "exstyle": flags(fields[4], where),
                    "language": int(fields[5]), "font": text(font[0], where)[0],
                    "font_numbers": [int(f) for f in font[1:]], "caption": caption or "",
                    "controls": [],
                })
            elif kind == "control" and len(fields) == 7:
                if not dialogs:
                    raise DescriptionError(f"{where}: a control before any dialog")
                label, image = text(fields[6], where)
                dialogs[-1]["controls"].append({
                    "id": int(fields[1]), "class": fields[2],
                    "style": WS_CHILD | flags(fields[3], where), "exstyle": flags(fields[4], where),
                    "rect": numbers(fields[5], 4, where), "text": label, "image": image,
                })
            elif kind == "bitmap" and len(fields) == 3:
                bitmaps.append((int(fields[1]), fields[2]))
            else:
                raise DescriptionError(f"{where}: not a dialog, control or bitmap line")
    if not dialogs:
        raise DescriptionError(f"{path}: no dialog")
    return dialogs, bitmaps


def rc_string(value):
    # windres reads the script byte by byte: a code-page-936 trail byte equal to a backslash
    # would start an escape, so such a text cannot be written in this code page.
    if "\\" in value or b"\\" in value.encode("cp936"):
        raise DescriptionError(f"a backslash in code page 936 cannot stand in a resource text: {value}")
    return '"' + value.replace('"', '""') + '"'


def write_rc(dialogs, bitmaps, description, out):
    base = os.path.dirname(os.path.abspath(description))
    lines = [f"// Generated from {os.path.basename(description)}; do not edit.",
             "#pragma code_page(936)"]
    for dialog in dialogs:
        language = dialog["language"]
        lines.append(f"LANGUAGE {language & 0x3FF}, {language >> 10}")
        for ident, name in bitmaps:
            path = os.path.join(base, name).replace("\\", "/")
            lines.append(f'{ident} BITMAP "{path}"')
        x, y, w, h = dialog["rect"]
        points, weight, italic, charset = dialog["font_numbers"]
        lines += [
            f"{dialog['id']} DIALOGEX {x}, {y}, {w}, {h}",
            f"STYLE 0x{dialog['style']:08X}",
            f"EXSTYLE 0x{dialog['exstyle']:08X}",
            f"CAPTION {rc_string(dialog['caption'])}",
            f"FONT {points}, {rc_string(dialog['font'])}, {weight}, {italic}, 0x{charset:X}",
            "BEGIN",
        ]
        for c in dialog["controls"]:
            label = str(c["image"]) if c["image"] else rc_string(c["text"] or "")
            # A CONTROL statement is visible unless its style says NOT WS_VISIBLE.
            style = f"0x{c['style']:08X}"
            if not c["style"] & WS_VISIBLE:
                style += f" | NOT 0x{WS_VISIBLE:08X}"
            x, y, w, h = c["rect"]
            lines.append(f'    CONTROL {label}, {c["id"]}, {rc_string(c["class"])}, {style}, '
                         f'{x}, {y}, {w}, {h}, 0x{c["exstyle"]:08X}')
        lines.append("END")
    with open(out, "w", encoding="cp936", newline="\r\n") as target:
        target.write("\n".join(lines) + "\n")


def cpp_string(value):
    if value is None:
        return "nullptr"
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def write_cpp(dialogs, description, out):
    lines = [f"// Generated from {os.path.basename(description)}; do not edit.",
             '#include "platform/dialog.h"', "", "namespace {", ""]
    for dialog in dialogs:
        lines.append(f"const platform::ControlTemplate kControls{dialog['id']}[] = {{")
        for c in dialog["controls"]:
            x, y, w, h = c["rect"]
            lines.append(f'    {{{c["id"]}, {cpp_string(c["class"])}, 0x{c["style"]:08X}u, '
                         f'0x{c["exstyle"]:08X}u, {x}, {y}, {w}, {h}, {cpp_string(c["text"])}, {c["image"]}}},')
        lines += ["};", ""]
    lines.append("const platform::DialogTemplate kDialogs[] = {")
    for dialog in dialogs:
        x, y, w, h = dialog["rect"]
        points, weight, italic, charset = dialog["font_numbers"]
        lines.append(f"    {{{dialog['id']}, 0x{dialog['style']:08X}u, 0x{dialog['exstyle']:08X}u, {x}, {y}, {w}, {h}, "
                     f"{dialog['language']}, {cpp_string(dialog['caption'])}, {cpp_string(dialog['font'])}, "
                     f"{points}, {weight}, {'true' if italic else 'false'}, {charset}, "
                     f"kControls{dialog['id']}, sizeof kControls{dialog['id']} / sizeof kControls{dialog['id']}[0]}},")
    lines += ["};", "", "}  // namespace", "", "namespace platform {", "",
              "const DialogTemplate* ProgramDialogTemplate(int id) {",
              "  for (const DialogTemplate& dialog : kDialogs) {",
              "    if (dialog.id == id) return &dialog;",
              "  }",
              "  return nullptr;",
              "}", "", "}  // namespace platform"]
    with open(out, "w", encoding="utf-8") as target:
        target.write("\n".join(lines) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("description")
    parser.add_argument("--rc")
    parser.add_argument("--cpp")
    args = parser.parse_args()
    try:
        dialogs, bitmaps = parse(args.description)
        if args.rc:
            write_rc(dialogs, bitmaps, args.description, args.rc)
        if args.cpp:
            write_cpp(dialogs, args.description, args.cpp)
    except (DescriptionError, UnicodeError, OSError) as error:
        print(f"dialog_template: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
