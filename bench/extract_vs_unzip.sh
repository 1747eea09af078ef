#!/usr/bin/env bash
# Times `hamper extract` of a Hamper of many small samples against `unzip` of the same files in a
# zip, as whole processes (best of several runs, each into a fresh folder), and prints both times
# and their ratio. Target: extract at most 1.5 times unzip, although extract syncs every file to
# the disk before it puts it in place and unzip syncs nothing.
#
#   bench/extract_vs_unzip.sh [HAMPER_EXE] [COUNT]
#
# The folder holds COUNT (default 100000) short mono 16-bit WAV files in folders of 1,000, the
# demo splash and an INFO.TXT. The zip is made (deflated, zip's default) from the files extract
# writes, so both commands give back the same files; the check at the end compares them.
# RUNS (default 3) sets the number of runs per command.
set -euo pipefail
export LC_ALL=C

here=$(cd "$(dirname "$0")/.." && pwd)
hamper=$(realpath "${1:-$here/build/dev/hamper}")
count=${2:-100000}
runs=${RUNS:-3}
[[ -x "$hamper" ]] || { echo "usage: $0 [HAMPER_EXE] [COUNT] (no hamper executable at $hamper)" >&2; exit 2; }
[[ "$count" =~ ^[1-9][0-9]*$ ]] || { echo "$0: COUNT must be a positive whole number" >&2; exit 2; }
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "$0: RUNS must be a positive whole number" >&2; exit 2; }
"$here/scripts/setup"

# Beside the build, not in $TMPDIR: a tmpfs there would make both commands' writes free.
work=$(mktemp -d "$here/build/extract-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP
content="$work/Samples"
mkdir -p "$content"
cp "$here/examples/Harbor Drums/Splash.jpg" "$content/Splash.jpg"
printf 'NAME "Extract Bench"\n' >"$content/INFO.TXT"

# Short WAV files written by perl (part of every Debian system): mono, 22050 Hz, 16-bit, each
# with samples of its own so that no two are alike.
frames=64
perl -e '
  my ($root, $count, $frames) = @ARGV;
  for my $i (0 .. $count - 1) {
    my $folder = "$root/Bank " . int($i / 1000);
    mkdir $folder if $i % 1000 == 0;
    my $data = pack("v*", map { ($_ * 37 + $i * 11) & 0x3FFF } 0 .. $frames - 1);
    open(my $f, ">", "$folder/s$i.wav") or die "$folder/s$i.wav: $!";
    print $f "RIFF", pack("V", 36 + length $data), "WAVEfmt ", pack("VvvVVvv", 16, 1, 1, 22050, 44100, 2, 16),
      "data", pack("V", length $data), $data;
    close $f or die;
  }' "$content" "$count" "$frames"

hmp="$work/Samples.hmp"
"$hamper" pack -q -f "$content" -o "$hmp"
# The zip holds what extract gives back (the WAV files as extract writes them, the description).
"$hamper" extract "$hmp" "$work/reference"
(cd "$work/reference" && zip -q -r "$work/Samples.zip" .)

# Each run writes into a folder of its own, and the folders are removed only at the end: on ext4
# without a journal, creating files soon after 100,000 were removed passes over each freed inode
# again and again, and would time that instead. The two commands take turns, so that a change in
# the machine's load falls on both.
# Wall nanoseconds of COMMAND... FOLDER.
timed() {
  local t0 t1
  sync
  t0=$(date +%s%N)
  "$@" >/dev/null 2>&1 || { echo "$0: failed: $*" >&2; exit 1; }
  t1=$(date +%s%N)
  echo $((t1 - t0))
}
best_unzip= best_extract=
for ((r = 0; r < runs; r++)); do
  ns=$(timed unzip -q "$work/Samples.zip" -d "$work/unzipped$r")
  [[ -z "$best_unzip" || $ns -lt $best_unzip ]] && best_unzip=$ns
  ns=$(timed "$hamper" extract "$hmp" "$work/extracted$r")
  [[ -z "$best_extract" || $ns -lt $best_extract ]] && best_extract=$ns
done
seconds() { awk -v n="$1" 'BEGIN { printf "%.3f", n / 1e9 }'; }
t_unzip=$(seconds "$best_unzip")
t_extract=$(seconds "$best_extract")
diff -r "$work/reference" "$work/extracted0" >/dev/null || { echo "$0: extract gave other files than the zip holds" >&2; exit 1; }

echo "$count WAV files of $frames frames in folders of 1,000; Hamper $(stat -c %s "$hmp") bytes," \
  "zip $(stat -c %s "$work/Samples.zip") bytes; best of $runs runs, whole processes"
printf '%-28s %9s\n' "unzip" "$t_unzip" "hamper extract" "$t_extract"
echo "hamper extract / unzip: $(awk -v a="$t_extract" -v b="$t_unzip" 'BEGIN { printf "%.2f", a / b }')"
