#!/usr/bin/env bash
# Checks the test page that test_page_test printed through Wine into <folder>/test_page.ps: one
# page that is not blank and carries the page's texts, and renders it to <folder>/test_page.png
# for the record.
set -uo pipefail
folder=${1:?folder of test_page.ps}
page="$folder/test_page.ps"
[[ -s "$page" ]] || { echo "check_test_page: no printed page at $page"; exit 1; }

gs_run() { gs -q -dNOPAUSE -dBATCH -dSAFER "$@"; }

# Wine downloads the printer's default font as a TrueType font, whose space and hyphen glyphs the
# text extraction reports as a no-break space (U+00A0) and a soft hyphen (U+00AD); read them as
# the space and hyphen they are. Its lines end in CR LF.
text=$(gs_run -sDEVICE=txtwrite -sOutputFile=- "$page" | sed 's/\xc2\xa0/ /g; s/\xc2\xad/-/g; s/\r$//')
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
expect 'Congratulations !'
expect 'If you can read this'
expect 'information you have'
expect 'succeed intall this'
expect 'printer driver !'
expect 'Printer Name:'
expect '\*\* Test page end \*\*'
expect 'Test Page Printer'
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
