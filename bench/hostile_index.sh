#!/usr/bin/env bash
# Time and peak memory of the commands that read a Hamper's index, over sparse 100 MB files whose
# index is hostile: what it costs must follow what the file holds, not what it claims. Target:
# info, list, verify and extract under 300 MB and 20 s each (thumbnail a few MB, whatever the index).
#
#   empty:    7,000,000 empty 14-byte records (no path, type 0, all at offset 0, size 0)
#   samples:  the same records with item type 11: every one a sample without a header
#   distinct: 5,000,000 records of distinct 4-byte paths, each a 1-byte item at a random place
#             in a 10 MB data area: overlaps, some placed, some not
#
# Usage: bench/hostile_index.sh build/dev/hamper [SHAPE]...
set -euo pipefail
hamper=$(realpath "$1")
shift
shapes=("$@")
[ $# -eq 0 ] && shapes=(empty samples distinct)
work=$(mktemp -d "${TMPDIR:-/tmp}/hamper-hostile.XXXXXX")
trap 'rm -rf "$work"' EXIT

make_hamper() {
  python3 - "$1" "$2" <<'PY'
import random, struct, sys
path, shape = sys.argv[1], sys.argv[2]
size = 100_000_000
name = b"Hostile"
text = b"Hamper container file, format 1.0 (2000)"
signature = struct.pack(">I", 0x412BA309) + bytes([0xBC, 1, 0, 0, 0]) + text.ljust(128, b"\0") + bytes(119)
def string(b): return struct.pack(">I", len(b)) + b
count = 5_000_000 if shape == "distinct" else 7_000_000
record = 18 if shape == "distinct" else 14
index_offset = 264 + 16 + len(name) + 12
data_offset = index_offset + count * record
description = string(name) + string(b"") * 3 + struct.pack(">III", count, index_offset, data_offset)
with open(path, "wb") as f:
    f.write(b"Hamp" + struct.pack(">I", size) + signature + description)
    if shape == "samples":
        f.write(bytes([0, 0, 0, 0, 11]) + bytes(9))
        block = (bytes([0, 0, 0, 0, 11]) + bytes(9)) * 100_000
        for _ in range(count // 100_000): f.write(block)
    elif shape == "distinct":
        rng = random.Random(6)
        span = size - data_offset - 1
        out = bytearray()
        for i in range(count):
            name = bytes((i // 255 ** k) % 255 + 1 for k in range(4))  # no zero byte
            out += struct.pack(">I4sBIIB", 4, name, 10, rng.randrange(span), 1, 0)
            if len(out) > 1 << 24:
                f.write(out); out.clear()
        f.write(out)
    f.truncate(size)
PY
}

run() {
  local label=$1
  shift
  if /usr/bin/time -f "%M %e" -o "$work/time" "$hamper" "$@" > "$work/out" 2> "$work/err"; then code=0; else code=$?; fi
  read -r kb seconds < <(tail -n 1 "$work/time")
  printf '  %-14s %6.2f s  peak %4d MB  exit %d, %d lines out, %d lines on stderr\n' "$label" "$seconds" \
    $(( kb / 1024 )) "$code" "$(wc -l < "$work/out")" "$(wc -l < "$work/err")"
}

for shape in "${shapes[@]}"; do
  make_hamper "$work/$shape.hmp" "$shape"
  echo "$shape: $(stat -c %s "$work/$shape.hmp") bytes, $(du -k "$work/$shape.hmp" | cut -f1) KB on the disk"
  run info info "$work/$shape.hmp"
  run "info --json" info --json "$work/$shape.hmp"
  run list list "$work/$shape.hmp"
  run "list --long" list --long "$work/$shape.hmp"
  run "list --json" list --json "$work/$shape.hmp"
  run thumbnail thumbnail "$work/$shape.hmp" "$work/thumb.png"
  run verify verify -q "$work/$shape.hmp"
  run "extract --only" extract --only 'Kick*' "$work/$shape.hmp" "$work/extracted"
  rm -rf "$work/extracted"
  rm -f "$work/$shape.hmp"
done
