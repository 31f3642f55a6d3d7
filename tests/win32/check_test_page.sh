#!/usr/bin/env bash
# Checks a test page printed through Wine into <folder>/test_page.ps: one page that carries every
# line of the page text in <folder>/page_text.txt (the exact bytes the program passed to the page,
# code page 936), the printer's name, the date and time and the dashed line, and, unless the
# printer has no paper size, that is not blank; it is then rendered to <folder>/test_page.png for
# the record. The extracted texts are kept in <folder>/test_page.txt.
#   check_test_page.sh <folder> [printer name] [no-paper-size]
# A printer whose driver is no PostScript driver gets no paper size from Wine's PostScript
# driver, which then places the page's marks off the page: its texts can be read, its ink not.
#
# Only the comparison of texts, for an extraction kept in a file:
#   check_test_page.sh --texts <extracted text> <page text> [printer name]
set -uo pipefail

gs_run() { gs -q -dNOPAUSE -dBATCH -dSAFER "$@"; }

# Canonical composition: a glyph that the font names after a compatibility ideograph (U+F9BA for
# U+4E86, say) is extracted as that code point, which is the same character.
composed() {
  PYTHONIOENCODING=utf-8 python3 -c \
    'import sys, unicodedata; sys.stdout.write(unicodedata.normalize("NFC", sys.stdin.buffer.read().decode("utf-8", "replace")))'
}

# Every line of the page, in the order printed, spaces around it removed and empty ones left out.
page_lines() {
  iconv -f CP936 -t UTF-8 "$1" | tr -d '\r' | sed 's/^ *//; s/ *$//' | grep -v '^$' | composed
}

# The line with one '?' for each character outside ASCII.
glyph_marks() { perl -CS -pe 's/[^\x00-\x7F]/?/g'; }

# Compares the extracted texts (file $1) with the page text (file $2) and the printer's name ($3);
# sets status. Wine downloads the printer's default font, and the extraction reports its space and
# hyphen glyphs as a no-break space (U+00A0) and a soft hyphen (U+00AD): they read as the space and
# hyphen they are; lines end in CR LF. Where the font's glyph names map to characters (Wine names
# them uniXXXX after the font's own names), the extraction gives the page's own characters, and
# each line is compared as it is. Where they do not (glyphs without such names, or the font's empty
# glyph .notdef, drawn when Wine has no font with the characters), each glyph comes out as a NUL
# byte: then every character outside ASCII is compared as one glyph, read as '?'.
check_texts() {
  local extracted=$1 page=$2 printer=$3 mode=characters
  if [[ $(tr -cd '\000' <"$extracted" | wc -c) -gt 0 ]]; then mode=glyphs; fi
  local text
  text=$(tr '\000' '?' <"$extracted" | sed 's/\xc2\xa0/ /g; s/\xc2\xad/-/g; s/\r$//; s/^ *//; s/ *$//' | composed)
  echo "check_test_page: texts of the page:"
  echo "$text"
  if [[ ! -s "$page" ]]; then
    echo "check_test_page: no page text at $page"
    status=1
    return
  fi
  local expected
  if [[ "$mode" == characters ]]; then
    echo "check_test_page: the extraction gives the characters: each line is compared with the page text's"
    expected=$(page_lines "$page")
  else
    echo "check_test_page: the extraction gives unmapped glyphs (Wine found no font with them): each line is compared" \
      "glyph by glyph, one '?' for each character outside ASCII"
    expected=$(page_lines "$page" | glyph_marks)
  fi
  local line
  while IFS= read -r line; do
    if ! grep -Fxq -- "$line" <<<"$text"; then
      echo "check_test_page: missing the line: $line"
      status=1
    fi
  done <<<"$expected"
  if ! grep -Fxq -- "$printer" <<<"$text"; then
    echo "check_test_page: missing the printer's name: $printer"
    status=1
  fi
  local pattern
  for pattern in '[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}' '-{28}'; do
    if ! grep -Eq -- "^$pattern\$" <<<"$text"; then
      echo "check_test_page: missing a line matching: $pattern"
      status=1
    fi
  done
}

status=0
if [[ "${1:-}" == --texts ]]; then
  check_texts "${2:?extracted text}" "${3:?page text}" "${4:-Test Page Printer}"
  exit $status
fi

folder=${1:?folder of test_page.ps}
printer=${2:-Test Page Printer}
paper=${3:-paper-size}
page="$folder/test_page.ps"
[[ -s "$page" ]] || { echo "check_test_page: no printed page at $page"; exit 1; }

gs_run -sDEVICE=txtwrite -sOutputFile="$folder/test_page.txt" "$page"
check_texts "$folder/test_page.txt" "$folder/page_text.txt" "$printer"
empty=$(grep -a -c '^/\.notdef glyphshow' "$page")
if [[ "$empty" -gt 0 ]]; then
  echo "check_test_page: $empty glyphs are the font's empty glyph: Wine found no font with those characters"
fi

# One line per page, with its ink coverage: exactly one page, and some black on it.
coverage=$(gs_run -sDEVICE=inkcov -sOutputFile=- "$page")
echo "check_test_page: ink coverage (C M Y K) per page: $coverage"
pages=$(grep -c 'CMYK' <<<"$coverage")
if [[ "$pages" -ne 1 ]]; then
  echo "check_test_page: $pages pages, expected 1"
  status=1
fi
if [[ "$paper" == no-paper-size ]]; then
  echo "check_test_page: the printer has no paper size; ink and picture are not checked"
  exit $status
fi
if ! awk '/CMYK/ { exit !($4 > 0) }' <<<"$coverage"; then
  echo "check_test_page: the page is blank"
  status=1
fi

if gs_run -sDEVICE=pnggray -r100 -sOutputFile="$folder/test_page.png" "$page"; then
  echo "check_test_page: picture of the page: $folder/test_page.png"
else
  echo "check_test_page: could not render $page"
  status=1
fi
exit $status
