#!/usr/bin/env bash
# Peak memory of packing (and verifying) a folder that holds one 1 GiB WAV, at one thread and at
# one per core, and the time against `hamper encode-audio` of the same file (the pack also
# checks, indexes, copies and decodes it again). Target: under 64 MB whatever the thread count.
#
# Usage: bench/pack_big_wav.sh build/dev/hamper [SIZE_MIB]
set -euo pipefail
hamper=$(realpath "$1")
size_mib=${2:-1024}
work=$(mktemp -d "${TMPDIR:-/tmp}/hamper-big-wav.XXXXXX")
trap 'rm -rf "$work"' EXIT
folder="$work/Big"
mkdir -p "$folder"

# 16-bit stereo at 44.1 kHz: 4 bytes a frame.
seconds=$(( size_mib * 1048576 / 4 / 44100 ))
sox -n -r 44100 -c 2 -b 16 "$folder/long.wav" synth "$seconds" sine 220-880 vol 0.5
# The splash: any 64 x 64 JPEG.
python3 - "$folder/splash.ppm" <<'PY'
import sys
open(sys.argv[1], "wb").write(b"P6 64 64 255\n" + bytes((x * 4) % 256 for x in range(64 * 64 * 3)))
PY
cjpeg "$folder/splash.ppm" > "$folder/Splash.jpg"
rm "$folder/splash.ppm"
printf 'NAME "Big"\n' > "$folder/INFO.TXT"
echo "WAV: $(du -m "$folder/long.wav" | cut -f1) MiB"

/usr/bin/time -f "%M %e" -o "$work/time" "$hamper" encode-audio "$folder/long.wav" "$work/long.vrp"
read -r kb encode_seconds < "$work/time"
printf 'encode-audio: peak %d MB, %s s\n' $(( kb / 1024 )) "$encode_seconds"
rm -f "$work/long.vrp"

cores=$(nproc)
for jobs in 1 "$cores"; do
  /usr/bin/time -f "%M %e" -o "$work/time" "$hamper" pack -q -f -j "$jobs" "$folder" -o "$work/big.hmp"
  read -r kb seconds_taken < "$work/time"
  printf 'pack -j %s: peak %d MB, %s s (%s of encode-audio), Hamper %d MiB\n' "$jobs" $(( kb / 1024 )) \
    "$seconds_taken" "$(awk -v a="$seconds_taken" -v b="$encode_seconds" 'BEGIN { printf "%.2f", a / b }')" \
    $(( $(stat -c %s "$work/big.hmp") / 1048576 ))
done
for jobs in 1 "$cores"; do
  /usr/bin/time -f "%M %e" -o "$work/time" "$hamper" verify -q -j "$jobs" "$work/big.hmp" > "$work/verify.out"
  read -r kb seconds_taken < "$work/time"
  printf 'verify -j %s: peak %d MB, %s s\n' "$jobs" $(( kb / 1024 )) "$seconds_taken"
done
