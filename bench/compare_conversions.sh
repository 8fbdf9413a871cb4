#!/usr/bin/env bash
# Wall time and peak memory of reelcast-convert, of gst-launch-1.0 running the
# same pipeline and of ffmpeg with the same codecs, bitrates and output frame
# rate: WMV, AVI (MPEG-4 part 2 + MP3) and MKV (x264 + Vorbis) at four frame
# sizes, from generated sources with motion in every frame. Then the peak
# memory for a 1-minute and a 10-minute source, and a batch of 8 clips.
#
#   bench/compare_conversions.sh [RUNS]     (default 3 paired runs; medians count)
#
# REELCAST_CONVERT names a reelcast-convert to measure instead of building
# one. SIZES and FORMATS (wmv avi mkv mp4) narrow the table, PARTS (conversions
# default memory batch segments) the parts run; the sources are made
# once and kept in REELCAST_BENCH_CACHE (default ~/.cache/reelcast-bench).
# Targets: wall at most 1.05 x the faster of gst-launch-1.0 and ffmpeg, peak
# memory at most 1.5 x ffmpeg's. Figures, not a test: nothing here fails.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
sizes=${SIZES:-640x360 1280x720 1920x1080 3840x2160}
formats=${FORMATS:-wmv avi mkv}
cache=${REELCAST_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/reelcast-bench}

[[ -n ${REELCAST_CONVERT:-} ]] || scripts/setup
command -v /usr/bin/time >/dev/null || {
  sudo_cmd=(); [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get install -y -qq time >/dev/null
}
if [[ -n ${REELCAST_CONVERT:-} ]]; then
  convert=$(realpath "$REELCAST_CONVERT")  # a build of one's own, as it is
else
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DREELCAST_BUILD_TESTS=OFF >/dev/null
  cmake --build build-bench --target reelcast-convert >/dev/null
  convert=$PWD/build-bench/bin/reelcast-convert
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/reelcast-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The converter reads its settings from a private home so the user's stay
# untouched; the options below choose everything that matters.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"

# A source of W x H at 30 fps, H.264 + AAC: a test pattern with moving parts
# under fresh grain in every frame, so no block of a frame repeats the last;
# with FRAMES, a key frame every FRAMES frames (else x264's own spacing).
source_clip() {  # source_clip W H SECONDS [FRAMES] -> path
  local out="$cache/motion-$1x$2-$3s${4:+-key$4}.mp4"
  if [[ ! -s $out ]]; then
    mkdir -p "$cache"
    ffmpeg -v error -y -f lavfi -i "testsrc2=size=$1x$2:rate=30,noise=alls=8:allf=t+u" \
      -f lavfi -i "sine=frequency=440:sample_rate=48000" -t "$3" -pix_fmt yuv420p \
      -c:v libx264 -preset veryfast ${4:+-g "$4"} -b:v $(($1 * $2 * 4)) -c:a aac -b:a 128k -ac 2 \
      "$out.part.mp4"
    mv "$out.part.mp4" "$out"
  fi
  echo "$out"
}
seconds_for() { [[ $2 -ge 2160 ]] && echo 4 || echo 10; }  # 4K sources are shorter

# The Windows Media settings: the stored frame rate 23.976 truncated, a key
# frame every 8 s, and a video bitrate that suits the frame size (the
# program's Kbps are 1024 bit/s).
wm_rate=23
wm_kbps() { echo $(($1 * $2 / 450)); }

# Each of these sets `cmd` to one conversion of SRC (W x H) into OUT.
# gst-launch-1.0 gets what the program adds to make the libav video encoders
# keep their bitrate (fixed caps after the encoder, so the codec counts in
# frames; see platform/gst/encoders/libav_video_encoder.h) and one segment for the
# muxers that write timestamps as given. It cannot give the encoder time from
# zero as the program does: libav's WMV encoder then often aborts on the
# timestamps 1000 hours late, and its row shows nan.
wmv_reelcast() {
  cmd=("$convert" --yes --format 1 --video-bitrate "$(wm_kbps "$2" "$3")" --audio-bitrate 128000
       --size "$2x$3" "$1" "$4")
}
wmv_gst() {
  local bits=$(($(wm_kbps "$2" "$3") * 1024))
  cmd=(gst-launch-1.0 -q filesrc location="$1" ! decodebin name=d
       d. ! queue ! videoconvert ! videoscale ! videorate !
       "video/x-raw,format=I420,width=$2,height=$3,framerate=$wm_rate/1" !
       avenc_wmv2 bitrate=$bits bitrate-tolerance=$((bits / 4)) max-bframes=0 gop-size=$((wm_rate * 8)) !
       "video/x-wmv,wmvversion=2,width=$2,height=$3,framerate=$wm_rate/1,pixel-aspect-ratio=1/1" !
       identity single-segment=true ! queue ! avmux_asf name=m ! filesink location="$4"
       d. ! queue ! audioconvert ! audioresample ! audio/x-raw,rate=44100,channels=2 !
       avenc_wmav2 bitrate=128000 ! queue ! m.)
}
wmv_ffmpeg() {
  local bits=$(($(wm_kbps "$2" "$3") * 1024))
  cmd=(ffmpeg -v error -y -i "$1" -c:v wmv2 -b:v $bits -bt $((bits / 4))
       -r $wm_rate -s "$2x$3" -g $((wm_rate * 8)) -c:a wmav2 -b:a 128000 -ar 44100 -ac 2 "$4")
}

# AVI, MKV and MP4 keep the source's frame size and rate, and each encoder's
# own defaults as the program's compressors do: MPEG-4 part 2 at 200 kbit/s,
# MP3 at quality 4, x264 at 2048 kbit/s (preset medium, a 600 ms buffer),
# Vorbis at quality 0.3, AAC at 128 kbit/s. x264enc's preset gives three
# B-frames and a key frame at most every 10 s (at least every second), and
# the program's x264 looks 30 frames ahead (platform/gst/encoders/encoder_defaults.h);
# ffmpeg is told the same, so that the three write streams whose x264 option
# strings match (the sources run at 30 fps).
avi_reelcast() {
  cmd=("$convert" --yes --format 0 --video-compressor "mpeg-4 part 2" --audio-compressor mp3 "$1" "$4")
}
avi_gst() {
  cmd=(gst-launch-1.0 -q filesrc location="$1" ! decodebin name=d
       d. ! queue ! videoconvert ! videoscale ! videorate ! avenc_mpeg4 !
       "video/mpeg,mpegversion=4,systemstream=false,width=$2,height=$3,framerate=30/1,pixel-aspect-ratio=1/1" !
       identity single-segment=true ! queue ! avimux name=m ! filesink location="$4"
       d. ! queue ! audioconvert ! audioresample ! audiorate ! lamemp3enc !
       identity single-segment=true ! queue ! m.)
}
avi_ffmpeg() {
  cmd=(ffmpeg -v error -y -i "$1" -c:v mpeg4 -b:v 200000 -c:a libmp3lame -q:a 4 "$4")
}

x264_gst() {  # x264_gst SRC OUT MUXER AUDIO-ENCODER
  cmd=(gst-launch-1.0 -q filesrc location="$1" ! decodebin name=d
       d. ! queue ! videoconvert ! videoscale ! videorate ! x264enc rc-lookahead=30 ! queue ! "$3" name=m !
       filesink location="$2" d. ! queue ! audioconvert ! audioresample ! "$4" ! queue ! m.)
}
x264_ffmpeg() {  # x264_ffmpeg SRC OUT AUDIO-OPTIONS...
  cmd=(ffmpeg -v error -y -i "$1" -c:v libx264 -preset medium -b:v 2048k -maxrate 2048k
       -bufsize 1228k -bf 3 -g 300 -keyint_min 30 -rc-lookahead 30 "${@:3}" "$2")
}
mkv_reelcast() {
  cmd=("$convert" --yes --format 2 --video-compressor x264 --audio-compressor vorbis "$1" "$4")
}
mkv_gst() { x264_gst "$1" "$4" matroskamux vorbisenc; }
mkv_ffmpeg() { x264_ffmpeg "$1" "$4" -c:a libvorbis -q:a 3; }
mp4_reelcast() {
  cmd=("$convert" --yes --format 4 --video-compressor x264 --audio-compressor "libav AAC" "$1" "$4")
}
mp4_gst() { x264_gst "$1" "$4" mp4mux avenc_aac; }
mp4_ffmpeg() { x264_ffmpeg "$1" "$4" -c:a aac -b:a 128k; }

# Prints "SECONDS PEAK-KB CPU-SECONDS" of the command that `$1 ARGS...` sets.
measure() {
  "$@"
  if ! /usr/bin/time -f '%e %M %U %S' -o "$work/time" "${cmd[@]}" >/dev/null 2>"$work/log"; then
    echo "FAILED: ${cmd[*]}" >&2
    tail -n 3 "$work/log" >&2
    echo "nan nan nan"
    return
  fi
  tail -n 1 "$work/time" | awk '{print $1, $2, $3 + $4}'
}

# Bits per second of the first video stream of a file.
video_bitrate() {
  local duration bytes
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")
  bytes=$(ffprobe -v error -select_streams v:0 -show_entries packet=size -of csv=p=0 "$1" |
          awk '{s += $1} END {print s}')
  awk -v b="$bytes" -v d="$duration" 'BEGIN {print b * 8 / d}'
}

# The median of a list of numbers, for the awk programs below.
awk_median='
  function median(list,   n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j] + 0 < a[j - 1] + 0; j--) {
      t = a[j]; a[j] = a[j - 1]; a[j - 1] = t
    }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }'

# One row: medians of RUNS paired runs (the three one after the other, so a
# change of load touches all three); the wall ratio is the median of each
# run's ratio to its faster reference, the memory ratio is against ffmpeg.
compare_format() {  # compare_format FORMAT W H
  local src ext=$1 tool i bitrate=""
  src=$(source_clip "$2" "$3" "$(seconds_for "$2" "$3")")
  for i in $(seq "$runs"); do
    for tool in reelcast gst ffmpeg; do
      echo "$i $tool $(measure "$1_$tool" "$src" "$2" "$3" "$work/$tool.$ext")"
    done
  done >"$work/runs"
  if [[ $1 == wmv ]]; then
    bitrate=$(awk -v r="$(video_bitrate "$work/reelcast.wmv")" -v k="$(wm_kbps "$2" "$3")" \
              'BEGIN {printf "%+.1f%%", 100 * (r / (k * 1024) - 1)}')
  fi
  awk -v f="$1" -v size="$2x$3" -v bitrate="$bitrate" '
    '"$awk_median"'
    { wall[$1, $2] = $3; peak[$2] = peak[$2] " " $4 / 1024; walls[$2] = walls[$2] " " $3 }
    END {
      for (i = 1; (i, "reelcast") in wall; i++) {
        best = wall[i, "gst"] < wall[i, "ffmpeg"] ? wall[i, "gst"] : wall[i, "ffmpeg"]
        ratios = ratios " " wall[i, "reelcast"] / best
      }
      printf "%-4s %-9s %7.2f %7.2f %7.2f %6.2f %6.0f %6.0f %6.0f %6.2f %8s\n", f, size,
             median(walls["reelcast"]), median(walls["gst"]), median(walls["ffmpeg"]), median(ratios),
             median(peak["reelcast"]), median(peak["gst"]), median(peak["ffmpeg"]),
             median(peak["reelcast"]) / median(peak["ffmpeg"]), bitrate
    }' "$work/runs"
}

# Windows Media at the profile's default video bitrate (780 Kbps), the
# frame size kept: what a user who changes nothing gets. ffmpeg gets the
# same rate control (bitrate, and a tolerance of a quarter of it).
wmv_default_reelcast() { cmd=("$convert" --yes --format 1 "$1" "$4"); }
wmv_default_ffmpeg() {
  local bits=$((780 * 1024))
  cmd=(ffmpeg -v error -y -i "$1" -c:v wmv2 -b:v $bits -bt $((bits / 4)) -r $wm_rate
       -g $((wm_rate * 8)) -c:a wmav2 -b:a 128000 -ar 44100 -ac 2 "$4")
}
default_bitrate_cpu() {
  echo
  echo "WMV at the default 780 Kbps: wall and CPU seconds (median of $runs paired runs)"
  local size src i tool
  for size in 1280x720 3840x2160; do
    src=$(source_clip "${size%x*}" "${size#*x}" "$(seconds_for "${size%x*}" "${size#*x}")")
    for i in $(seq "$runs"); do
      for tool in reelcast ffmpeg; do
        echo "$i $tool $(measure "wmv_default_$tool" "$src" 0 0 "$work/default-$tool.wmv")"
      done
    done >"$work/runs"
    awk -v size="$size" '
      '"$awk_median"'
      { wall[$2] = wall[$2] " " $3; cpu[$2] = cpu[$2] " " $5 }
      END {
        printf "  %-9s reelcast-convert %5.2f s, %5.2f s CPU; ffmpeg %5.2f s, %5.2f s CPU; CPU ratio %.2f\n",
               size, median(wall["reelcast"]), median(cpu["reelcast"]), median(wall["ffmpeg"]),
               median(cpu["ffmpeg"]), median(cpu["reelcast"]) / median(cpu["ffmpeg"])
      }' "$work/runs"
  done
}

conversion_table() {
  echo "Conversions: seconds and peak MiB (median of $runs paired runs)"
  printf '%-4s %-9s %7s %7s %7s %6s %6s %6s %6s %6s %8s\n' "" size reelcst gst ffmpeg ratio \
    reelcst gst ffmpeg ratio "WM rate"
  local format size
  for format in $formats; do
    for size in $sizes; do compare_format "$format" "${size%x*}" "${size#*x}"; done
  done
}

memory_by_length() {
  echo
  echo "Peak memory by the source's length (WMV, 640x360; MiB):"
  local minutes src rc ff
  for minutes in 1 10; do
    src=$(source_clip 640 360 $((minutes * 60)))
    rc=$(measure wmv_reelcast "$src" 640 360 "$work/long.wmv")
    ff=$(measure wmv_ffmpeg "$src" 640 360 "$work/long-ffmpeg.wmv")
    printf '  %2d-minute source: reelcast-convert %4.0f, ffmpeg %4.0f\n' "$minutes" \
      "$(echo "$rc" | awk '{print $2 / 1024}')" "$(echo "$ff" | awk '{print $2 / 1024}')"
  done
}

# The batch: 8 ten-second 720p clips to WMV.
batch_reelcast() {
  cmd=("$convert" --yes --jobs 2 --output-dir "$work/batch-out" --format 1
       --video-bitrate "$(wm_kbps 1280 720)" --audio-bitrate 128000 --size 1280x720 "$@")
}
batch_ffmpeg() {  # a shell loop, one ffmpeg after the other
  local clip script=$work/ffmpeg-loop.sh
  echo "set -e" >"$script"
  for clip in "$@"; do
    wmv_ffmpeg "$clip" 1280 720 "${clip%.mp4}.wmv"
    printf '%q ' "${cmd[@]}" >>"$script"
    echo >>"$script"
  done
  cmd=(bash "$script")
}
batch_throughput() {
  echo
  echo "Batch: 8 ten-second 1280x720 clips to WMV (seconds):"
  # grep reads it all: with -q it would stop early and fail the pipe.
  if ! "$convert" --help | grep -- --output-dir >/dev/null; then
    echo "  pending: this reelcast-convert has no --output-dir and --jobs"
    return
  fi
  local src clips=() i rc ff
  src=$(source_clip 1280 720 10)
  mkdir -p "$work/batch" "$work/batch-out"
  # Copies: links to one file would be one source to the converter.
  for i in 1 2 3 4 5 6 7 8; do cp "$src" "$work/batch/clip$i.mp4"; clips+=("$work/batch/clip$i.mp4"); done
  rc=$(measure batch_reelcast "${clips[@]}")
  ff=$(measure batch_ffmpeg "${clips[@]}")
  awk -v r="${rc%% *}" -v f="${ff%% *}" \
    'BEGIN {printf "  reelcast-convert --jobs 2: %.2f, ffmpeg loop: %.2f, ratio %.2f\n", r, f, r / f}'
}

# Sources for the rows of segments: a key frame every 2 s, as cameras and
# phones write them (segments start at the source's key frames), and long
# enough for a few segments a core.
keyed_clip() { source_clip "$1" "$2" "$3" 60; }  # keyed_clip W H SECONDS -> path
one_worker() { "$@"; cmd+=(--threads 1); }
every_core() { "$@"; cmd+=(--threads "$(nproc)"); }
on_one_core() { "$@"; cmd=(taskset -c 0 "${cmd[@]}"); }

# Medians of columns 3 (wall) by tool (column 2) of $work/runs, in the order given.
medians() {
  awk -v tools="$*" '
    '"$awk_median"'
    { wall[$2] = wall[$2] " " $3 }
    END { n = split(tools, t, " "); for (i = 1; i <= n; i++) printf "%s ", median(wall[t[i]]); print "" }
  ' "$work/runs"
}

# Windows Media in segments on every core (--threads, as a run left to
# itself cuts segments only with three cores or more) against one worker
# and ffmpeg, at the default bitrate and the bench's; then one core, the
# default against --threads 1; and the batch against ffmpeg two at a time.
segments_table() {
  echo
  echo "WMV in segments on $(nproc) cores: wall seconds (median of $runs paired runs)"
  printf '  %-16s %-7s %7s %7s %7s %6s %6s %8s %8s\n' source bitrate cores "1 wkr" ffmpeg ratio \
    "1 wkr" "WM rate" "vs 1 wkr"
  local row w h t src rate i m kbps
  for row in 640x360x60 1280x720x20 1920x1080x20 3840x2160x8; do
    IFS=x read -r w h t <<<"$row"
    src=$(keyed_clip "$w" "$h" "$t")
    for rate in default bench; do
      for i in $(seq "$runs"); do
        if [[ $rate == default ]]; then
          echo "$i cores $(measure every_core wmv_default_reelcast "$src" 0 0 "$work/seg.wmv")"
          echo "$i one $(measure one_worker wmv_default_reelcast "$src" 0 0 "$work/one.wmv")"
          echo "$i ffmpeg $(measure wmv_default_ffmpeg "$src" 0 0 "$work/ff.wmv")"
        else
          echo "$i cores $(measure every_core wmv_reelcast "$src" "$w" "$h" "$work/seg.wmv")"
          echo "$i one $(measure one_worker wmv_reelcast "$src" "$w" "$h" "$work/one.wmv")"
          echo "$i ffmpeg $(measure wmv_ffmpeg "$src" "$w" "$h" "$work/ff.wmv")"
        fi
      done >"$work/runs"
      kbps=$([[ $rate == default ]] && echo 780 || wm_kbps "$w" "$h")
      read -r -a m <<<"$(medians cores one ffmpeg)"
      awk -v s="${w}x${h} ${t}s" -v r="$rate" -v c="${m[0]}" -v o="${m[1]}" -v f="${m[2]}" \
        -v b="$(video_bitrate "$work/seg.wmv")" -v b1="$(video_bitrate "$work/one.wmv")" \
        -v k="$kbps" \
        'BEGIN {printf "  %-16s %-7s %7.2f %7.2f %7.2f %6.2f %6.2f %+7.1f%% %+7.1f%%\n", s, r, c, o,
                f, c / f, o / f, 100 * (b / (k * 1024) - 1), 100 * (b / b1 - 1)}'
    done
  done
  src=$(keyed_clip 1280 720 20)
  for i in $(seq "$runs"); do
    echo "$i cores $(measure on_one_core wmv_default_reelcast "$src" 0 0 "$work/seg.wmv")"
    echo "$i one $(measure on_one_core one_worker wmv_default_reelcast "$src" 0 0 "$work/one.wmv")"
  done >"$work/runs"
  read -r -a m <<<"$(medians cores one)"
  awk -v c="${m[0]}" -v o="${m[1]}" 'BEGIN {
    printf "  one core (taskset -c 0), 720p: default %.2f, --threads 1 %.2f, ratio %.2f\n", c, o, c / o}'
  batch_pairs "$src"
}

# Four 8-second 720p clips: --jobs 2 against ffmpeg two at a time.
batch_pairs() {
  local clips=() i
  mkdir -p "$work/pairs" "$work/pairs-out"
  for i in 1 2 3 4; do
    ffmpeg -v error -y -i "$1" -t 8 -c copy "$work/pairs/clip$i.mp4"
    clips+=("$work/pairs/clip$i.mp4")
  done
  pairs_reelcast() {
    cmd=("$convert" --yes --jobs 2 --output-dir "$work/pairs-out" --format 1 "${clips[@]}")
  }
  pairs_ffmpeg() {  # each clip's ffmpeg command on a line, run two at a time
    local clip line bits=$((780 * 1024))
    for clip in "${clips[@]}"; do
      # No blank at the end: xargs -L would join the next line to it.
      line=$(printf '%q ' ffmpeg -v error -y -i "$clip" -c:v wmv2 -b:v $bits -bt $((bits / 4)) \
        -r $wm_rate -g $((wm_rate * 8)) -c:a wmav2 -b:a 128000 -ar 44100 -ac 2 "${clip%.mp4}.wmv")
      echo "${line% }"
    done >"$work/pairs.txt"
    cmd=(xargs -P 2 -L 1 -a "$work/pairs.txt" sh -c '"$0" "$@"')
  }
  for i in $(seq "$runs"); do
    echo "$i reelcast $(measure pairs_reelcast)"
    echo "$i ffmpeg $(measure pairs_ffmpeg)"
  done >"$work/runs"
  local m
  read -r -a m <<<"$(medians reelcast ffmpeg)"
  awk -v r="${m[0]}" -v f="${m[1]}" 'BEGIN {
    printf "  batch of four 8 s 720p clips: --jobs 2 %.2f, ffmpeg two at a time %.2f, ratio %.2f\n",
           r, f, r / f}'
}

for part in ${PARTS:-conversions default memory batch segments}; do
  case $part in
    conversions) conversion_table ;;
    default) default_bitrate_cpu ;;
    memory) memory_by_length ;;
    batch) batch_throughput ;;
    segments) segments_table ;;
  esac
done
