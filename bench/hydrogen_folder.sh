# shellcheck shell=bash
# Sourced by the benchmarks: the content folder made from the WAV and AIFF recordings of Debian's
# hydrogen-drumkits (about 200 MB of audio). Needs `here`, the checkout's top folder.
: "${here:?the checkout top folder}"

# Installs hydrogen-drumkits when it is missing.
ensure_hydrogen_drumkits() {
  dpkg -s hydrogen-drumkits >/dev/null 2>&1 && return
  echo "installing: hydrogen-drumkits" >&2
  local sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y hydrogen-drumkits >/dev/null
}

# make_hydrogen_folder CONTENT [FLAT]: lays out CONTENT (one folder per kit, links to the
# recordings, the demo splash and an INFO.TXT), keeping what a pack and flac both read: integer
# PCM of 8 to 24 bits, one or two channels, under a name a Hamper can hold. With FLAT, the same
# files are linked there too under unique names (flac writes every output into one folder). Sets
# files, skipped and pcm_bytes (the audio as 16-bit PCM).
make_hydrogen_folder() {
  local content=$1 flat=${2:-}
  mkdir -p "$content"
  [[ -n "$flat" ]] && mkdir -p "$flat"
  cp "$here/examples/Harbor Drums/Splash.jpg" "$content/Splash.jpg"
  printf 'NAME "Hydrogen Drumkits"\nCOMMENTS "The recordings of Debian'"'"'s hydrogen-drumkits, for timing."\n' \
    >"$content/INFO.TXT"
  files=0 skipped=0 pcm_bytes=0
  local f name kit channels bits encoding samples ext
  while IFS= read -r f; do
    name=$(basename "$f") kit=$(basename "$(dirname "$f")")
    # What both programs read, under a name a Hamper can hold (no ":", not hidden).
    if [[ "$name$kit" == *:* || "$name" == .* || "$kit" == .* ]]; then skipped=$((skipped + 1)); continue; fi
    # "Channels : 2", "Sample Encoding: 16-bit Signed Integer PCM", "Duration : ... = N samples ..."
    read -r channels bits encoding samples < <(soxi "$f" 2>/dev/null | awk -F': *' '
      /^Channels/ { c = $2 } /^Sample Encoding/ { split($2, e, "-bit "); b = e[1]; gsub(/ /, "", e[2]); n = e[2] }
      /^Duration/ { if (match($0, /= [0-9]+ samples/)) f = substr($0, RSTART + 2, RLENGTH - 10) }
      END { print c + 0, b + 0, (n == "" ? "none" : n), f + 0 }') || true
    if [[ ! "$channels" =~ ^[12]$ || ! "$bits" =~ ^(8|16|24)$ || "$encoding" != *IntegerPCM ]]; then
      skipped=$((skipped + 1)); continue
    fi
    # A few recordings are AIFF named .wav: the link takes the extension of what the file is, as an
    # author would rename it, since a file's type is told by its extension alone.
    case $(soxi -t "$f" 2>/dev/null) in
      wav) ext=wav ;;
      aiff | aifc) ext=aif ;;
      *) skipped=$((skipped + 1)); continue ;;
    esac
    name=${name%.*}.$ext
    mkdir -p "$content/$kit"
    [[ -e "$content/$kit/$name" ]] && { skipped=$((skipped + 1)); continue; }
    ln -s "$f" "$content/$kit/$name"
    [[ -n "$flat" ]] && ln -s "$f" "$flat/$(printf %05d "$files").$ext"
    files=$((files + 1))
    pcm_bytes=$((pcm_bytes + samples * channels * 2))  # soxi counts frames as "samples"
  done < <(dpkg -L hydrogen-drumkits | grep -iE '\.(wav|aiff?)$' | sort)
  ((files > 0)) || { echo "$0: no usable recording found in hydrogen-drumkits" >&2; exit 1; }
}
