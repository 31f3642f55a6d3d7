#!/usr/bin/env bash
# The text comparison of check_test_page.sh against two kinds of extraction of the Chinese test
# page, whichever of them this machine's Wine gives:
#   test_page_samples/zh_characters.txt  the page's own characters, as text extraction gave them
#                                        (a compatibility ideograph among them, as the font names it);
#   test_page_samples/zh_glyphs.txt      the same page with every glyph unmapped: one NUL byte for
#                                        each character outside ASCII.
# Each must pass against the page text the program printed, and fail once a line is damaged.
#   check_test_page_test.sh <page text (code page 936)> <scratch folder>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
page=${1:?page text}
scratch=${2:?scratch folder}
samples="$here/test_page_samples"
check="$here/check_test_page.sh"
mkdir -p "$scratch"
failures=0

# expect <pass|fail> <what is compared (printed)> <description> <extracted text> [page text]
expect() {
  local want=$1 mode=$2 what=$3 extracted=$4 text=${5:-$page} output rc
  output=$("$check" --texts "$extracted" "$text" "printer RT5140" 2>&1)
  rc=$?
  if [[ ( "$want" == pass && $rc -ne 0 ) || ( "$want" == fail && $rc -eq 0 ) ]]; then
    echo "check_test_page_test: $what: expected to $want, but it did not:"
    echo "$output"
    failures=$((failures + 1))
    return
  fi
  if ! grep -q "the extraction gives $mode" <<<"$output"; then
    echo "check_test_page_test: $what: did not say it compared $mode:"
    echo "$output"
    failures=$((failures + 1))
    return
  fi
  echo "check_test_page_test: $what: $([[ $want == pass ]] && echo passes || echo fails), comparing $mode"
}

expect pass "the characters" "the page's characters" "$samples/zh_characters.txt"
expect pass "unmapped glyphs" "one glyph per character" "$samples/zh_glyphs.txt"

# Damaged: one character replaced (感 by 惑), one glyph lost, one line missing, the wrong language.
sed 's/感/惑/' "$samples/zh_characters.txt" >"$scratch/other_character.txt"
expect fail "the characters" "a character replaced" "$scratch/other_character.txt"
perl -pe 's/\x00\x00\x00\x00\x00/\x00\x00\x00\x00/' "$samples/zh_glyphs.txt" >"$scratch/glyph_lost.txt"
expect fail "unmapped glyphs" "a glyph lost" "$scratch/glyph_lost.txt"
grep -av '测试页结束' "$samples/zh_characters.txt" >"$scratch/line_missing.txt"
expect fail "the characters" "the last line missing" "$scratch/line_missing.txt"
printf '               .  \r\n\r\n  Congratulations !   \r\n' >"$scratch/english.txt"
expect fail "the characters" "the English page text" "$samples/zh_characters.txt" "$scratch/english.txt"

exit $((failures > 0))
