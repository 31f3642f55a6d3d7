#!/usr/bin/env bash
# Checks a test page printed through Wine into <folder>/test_page.ps: one page that carries the
# page's texts in the language given (en or zh) and the printer's name, and, unless the printer
# has no paper size, that is not blank; it is then rendered to <folder>/test_page.png for the
# record.
#   check_test_page.sh <folder> [printer name] [en|zh] [no-paper-size]
# A printer whose driver is no PostScript driver gets no paper size from Wine's PostScript
# driver, which then places the page's marks off the page: its texts can be read, its ink not.
set -uo pipefail
folder=${1:?folder of test_page.ps}
printer=${2:-Test Page Printer}
language=${3:-en}
paper=${4:-paper-size}
page="$folder/test_page.ps"
[[ -s "$page" ]] || { echo "check_test_page: no printed page at $page"; exit 1; }

gs_run() { gs -q -dNOPAUSE -dBATCH -dSAFER "$@"; }

# Wine downloads the printer's default font as a TrueType font, whose space and hyphen glyphs the
# text extraction reports as a no-break space (U+00A0) and a soft hyphen (U+00AD); read them as
# the space and hyphen they are. Its lines end in CR LF. Glyphs that the extraction cannot map to
# characters, such as those of the Chinese texts, come out as NUL bytes: each one reads as '?'.
text=$(gs_run -sDEVICE=txtwrite -sOutputFile=- "$page" | tr '\000' '?' |
       sed 's/\xc2\xa0/ /g; s/\xc2\xad/-/g; s/\r$//')
echo "check_test_page: texts of the page:"
echo "$text"

status=0
expect() {  # a line of the page, as an extended regular expression, spaces around it aside
  if ! grep -Eq -- "^ *$1 *\$" <<<"$text"; then
    echo "check_test_page: missing a line matching: $1"
    status=1
  fi
}
expect '\.'
if [[ "$language" == zh ]]; then
  # Each line as its characters or as one mark per glyph: the extraction maps the glyphs of the
  # Chinese font to characters in a 32-bit prefix, and not in a 64-bit one. It reads "了" as
  # the compatibility ideograph of the same shape (U+F9BA), so that character is left open.
  expect '(恭喜！|\?{3})'
  expect '(如果您可以读取这个|\?{9})'
  expect '(信息，说明打印机驱|\?{9})'
  expect '(动已经安装成功.+！|\?{9})'
  expect '(感谢您的使用！|\?{7})'
  expect '(打印机名称：|\?{6})'
  expect '\*\* (测试页结束|\?{5}) \*\*'
else
  expect 'Congratulations !'
  expect 'If you can read this'
  expect 'information you have'
  expect 'succeed intall this'
  expect 'printer driver !'
  expect 'Printer Name:'
  expect '\*\* Test page end \*\*'
fi
if ! grep -Fxq -- "$printer" <<<"$(sed 's/^ *//; s/ *$//' <<<"$text")"; then
  echo "check_test_page: missing the printer's name: $printer"
  status=1
fi
expect '[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}'
expect '-{28}'

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
