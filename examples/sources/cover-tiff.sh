#!/usr/bin/env bash
# Writes the demo's cover picture on standard output: a 32 x 32 RGB TIFF, uncompressed, one
# strip (a baseline TIFF that any reader takes): waves in harbour colours.
set -euo pipefail
export LC_ALL=C

w=32 h=32
le16() { printf -v out '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)); printf "$out"; }
le32() { printf -v out '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); printf "$out"; }
# One directory entry: tag, type (3 SHORT, 4 LONG), count, value or offset.
entry() {
  le16 "$1"; le16 "$2"; le32 "$3"
  if (($2 == 3 && $3 == 1)); then le16 "$4"; le16 0; else le32 "$4"; fi
}

entries=10
ifd=8
bits=$((ifd + 2 + entries * 12 + 4))  # the three BitsPerSample values follow the directory
data=$((bits + 6))
printf 'II*\0'; le32 "$ifd"
le16 "$entries"
entry 256 3 1 "$w"              # ImageWidth
entry 257 3 1 "$h"              # ImageLength
entry 258 3 3 "$bits"           # BitsPerSample: 8, 8, 8
entry 259 3 1 1                 # Compression: none
entry 262 3 1 2                 # PhotometricInterpretation: RGB
entry 273 4 1 "$data"           # StripOffsets
entry 277 3 1 3                 # SamplesPerPixel
entry 278 3 1 "$h"              # RowsPerStrip
entry 279 4 1 $((w * h * 3))    # StripByteCounts
entry 284 3 1 1                 # PlanarConfiguration: contiguous
le32 0                          # no further directory
le16 8; le16 8; le16 8

for ((y = 0; y < h; y++)); do
  row=
  for ((x = 0; x < w; x++)); do
    # Bands of water that rise and fall across the picture.
    wave=$(((x * 5 + y * 8 + (x * x) % 13) % 48))
    if ((wave < 16)); then r=20 g=$((90 + wave * 4)) b=$((140 + wave * 4))
    elif ((wave < 24)); then r=$((200 + wave)) g=$((210 + wave)) b=230
    else r=10 g=$((40 + wave)) b=$((90 + wave))
    fi
    printf -v px '\\x%02x\\x%02x\\x%02x' "$r" "$g" "$b"
    row+=$px
  done
  printf "$row"
done
