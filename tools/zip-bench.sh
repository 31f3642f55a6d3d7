#!/usr/bin/env bash
# Unpacking benchmark of the program's ZIP reader: a large deflated archive is generated under
# build/bench and unpacked by `unpack` (Release build, no sanitizers), by unzip, by
# bsdtar and by a bare zlib inflate loop (the limit); best of RUNS wall times and their ratios,
# then the reader's peak heap (valgrind massif) on a small and the large archive.
#   ENTRIES (2000) x ENTRY_KB (100) sets the archive's size; RUNS (3).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/.."
ENTRIES=${ENTRIES:-2000}
ENTRY_KB=${ENTRY_KB:-100}
RUNS=${RUNS:-3}
bench=build/bench
mkdir -p "$bench"

for tool in unzip bsdtar python3 valgrind; do
  command -v "$tool" >/dev/null || { echo "bench: $tool is missing (apt-get install unzip libarchive-tools valgrind python3)"; exit 1; }
done

cmake --preset release >/dev/null
cmake --build --preset release -j "${JOBS:-2}" --target unpack inflate_loop >/dev/null

# An archive of ENTRIES deflated entries, and the index of their data for the inflate loop.
make_archive() {  # entries entry_kb archive
  python3 - "$1" "$2" "$3" <<'PY'
import random, struct, sys, zipfile, zlib
entries, kb, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
rng = random.Random(7)
words = [bytes(rng.choice(b'abcdefghijklmnopqrstuvwxyz') for _ in range(rng.randint(2, 9))) for _ in range(4000)]
with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
    for i in range(entries):
        text = b' '.join(rng.choice(words) for _ in range(kb * 150))[: kb * 768]
        noise = rng.randbytes(kb * 256)
        z.writestr('dir%02d/file%05d.bin' % (i % 20, i), text + noise)
with open(path, 'rb') as f, open(path + '.index', 'w') as index:
    for info in zipfile.ZipFile(path).infolist():
        f.seek(info.header_offset)
        header = f.read(30)
        name_length, extra_length = struct.unpack('<HH', header[26:30])
        data = info.header_offset + 30 + name_length + extra_length
        index.write('%d %d %d %s\n' % (data, info.compress_size, info.file_size, info.filename.replace('/', '_')))
PY
}

archive=$bench/big-$ENTRIES-$ENTRY_KB.zip
[[ -f $archive && -f $archive.index ]] || { echo "bench: generating $archive"; make_archive "$ENTRIES" "$ENTRY_KB" "$archive"; }
size=$(stat -c %s "$archive")
echo "bench: $archive, $ENTRIES entries, $((size / 1048576)) MiB compressed"

best() {  # label command...: prints the best wall time in seconds
  local label=$1 best_time=""
  shift
  for _ in $(seq "$RUNS"); do
    rm -rf "$bench/out"
    mkdir -p "$bench/out"
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "bench: $label failed" >&2; exit 1; }
    end=$(date +%s.%N)
    best_time=$(python3 -c "import sys; t=$end-$start; b='$best_time'; print(t if not b or t < float(b) else b)")
  done
  rm -rf "$bench/out"
  echo "$best_time"
}

t_unpack=$(best unpack build/release/unpack "$archive" "$bench/out")
t_unzip=$(best unzip unzip -q -o "$archive" -d "$bench/out")
t_bsdtar=$(best bsdtar bsdtar -xf "$archive" -C "$bench/out")
t_loop=$(best inflate_loop build/release/inflate_loop "$archive" "$archive.index" "$bench/out")
python3 - "$t_unpack" "$t_unzip" "$t_bsdtar" "$t_loop" <<'PY'
import sys
unpack, unzip, bsdtar, loop = map(float, sys.argv[1:])
print('bench: best of runs, wall seconds')
for name, t in (('unpack', unpack), ('unzip', unzip), ('bsdtar', bsdtar), ('inflate loop', loop)):
    print('  %-13s %7.3f s' % (name, t))
print('  unpack / unzip        %.2f  (target <= 1.00)' % (unpack / unzip))
print('  unpack / bsdtar       %.2f' % (unpack / bsdtar))
print('  unpack / inflate loop %.2f  (target <= 1.15)' % (unpack / loop))
PY

# Peak heap of unpack, for a small and the large archive (the archive itself is mapped, not
# on the heap, as the program's image holds its package).
peak() {  # archive: prints the peak heap in bytes
  local out=$bench/massif.out
  rm -rf "$bench/out" && mkdir -p "$bench/out"
  valgrind --tool=massif --massif-out-file="$out" build/release/unpack "$1" "$bench/out" >/dev/null 2>&1
  rm -rf "$bench/out"
  grep mem_heap_B "$out" | sed 's/mem_heap_B=//' | sort -n | tail -1
}
small=$bench/small-20-100.zip
[[ -f $small ]] || make_archive 20 100 "$small"
for a in "$small" "$archive"; do
  bytes=$(peak "$a")
  echo "bench: peak heap of unpack on $(basename "$a") ($(( $(stat -c %s "$a") / 1048576 )) MiB): $bytes bytes"
done
