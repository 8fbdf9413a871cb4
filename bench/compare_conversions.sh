#!/usr/bin/env bash
# Times reelcast-convert against gst-launch-1.0 running the equivalent
# pipeline and against ffmpeg with the same codecs and bitrates, on a
# generated 20-second 1280x720 H.264/AAC clip, for WMV, AVI (MPEG-4 part 2
# and MP3) and MKV; prints the ratios. Then reports the peak memory of
# reelcast-convert for a 1-minute and a 10-minute source.
#
#   bench/compare_conversions.sh [RUNS]     (default 5 runs; the median counts)
#
# Target: each ratio within 1.10 of the faster of the two references, and the
# two peaks about equal. Figures, not a test: nothing here fails.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}

scripts/setup
command -v /usr/bin/time >/dev/null || {
  sudo_cmd=(); [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get install -y -qq time >/dev/null
}
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DREELCAST_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench --target reelcast-convert >/dev/null
convert=build-bench/bin/reelcast-convert

work=$(mktemp -d "${TMPDIR:-/tmp}/reelcast-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The converter reads its settings from a private home so the user's stay
# untouched; the options below choose everything that matters.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"

clip() {  # clip SECONDS WIDTH HEIGHT OUT
  local frames=$(($1 * 25))
  gst-launch-1.0 -q videotestsrc num-buffers="$frames" pattern=smpte ! \
    "video/x-raw,width=$2,height=$3,framerate=25/1" ! x264enc speed-preset=veryfast bitrate=4000 ! \
    h264parse ! queue ! mp4mux name=m ! filesink location="$4" \
    audiotestsrc num-buffers=$(($1 * 44100 / 1024)) samplesperbuffer=1024 ! \
    audio/x-raw,rate=44100,channels=2 ! avenc_aac ! queue ! m.
}
echo "Making the source clips..."
src=$work/source-20s.mp4
clip 20 1280 720 "$src"

# Seconds of one run of a command (wall clock).
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || { echo "FAILED: $*" >&2; return 1; }
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN {print b - a}'
}
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
time_runs() { for _ in $(seq "$runs"); do seconds "$@"; done | median; }

# The libav video encoders stamp their output 1000 hours late; the program
# rebases the stamps, and gst-launch-1.0 does the same with an identity
# element working in one segment (without it the ASF and AVI muxers stall).
# AVI uses each encoder's own defaults, as the program's compressors do.

# Frame rate of the Windows Media stream: the settings' 23.976 truncated.
wm_rate=23
wmv_gst() {
  gst-launch-1.0 -q filesrc location="$src" ! decodebin name=d \
    d. ! queue ! videoconvert ! videoscale ! videorate ! \
    "video/x-raw,format=I420,width=1280,height=720,framerate=$wm_rate/1" ! \
    avenc_wmv2 bitrate=798720 gop-size=$((wm_rate * 8)) ! identity single-segment=true ! \
    queue ! avmux_asf name=m ! \
    filesink location="$work/gst.wmv" \
    d. ! queue ! audioconvert ! audioresample ! audio/x-raw,rate=44100,channels=2 ! \
    avenc_wmav2 bitrate=128000 ! queue ! m.
}
wmv_ffmpeg() {
  ffmpeg -v error -y -i "$src" -c:v wmv2 -b:v 798720 -r $wm_rate -s 1280x720 -g $((wm_rate * 8)) \
    -c:a wmav2 -b:a 128000 -ar 44100 -ac 2 "$work/ffmpeg.wmv"
}
wmv_reelcast() { "$convert" --yes --format 1 --video-bitrate 780 --audio-bitrate 128000 "$src" "$work/rc.wmv"; }

avi_gst() {
  gst-launch-1.0 -q filesrc location="$src" ! decodebin name=d \
    d. ! queue ! videoconvert ! avenc_mpeg4 ! identity single-segment=true ! queue ! avimux name=m ! \
    filesink location="$work/gst.avi" \
    d. ! queue ! audioconvert ! audioresample ! lamemp3enc ! queue ! m.
}
avi_ffmpeg() {
  ffmpeg -v error -y -i "$src" -c:v mpeg4 -b:v 200k -c:a libmp3lame -q:a 4 "$work/ffmpeg.avi"
}
avi_reelcast() {
  "$convert" --yes --format 0 --video-compressor "mpeg-4 part 2" --audio-compressor "mp3" \
    "$src" "$work/rc.avi"
}

mkv_gst() {
  gst-launch-1.0 -q filesrc location="$src" ! decodebin name=d \
    d. ! queue ! videoconvert ! x264enc ! queue ! matroskamux name=m ! \
    filesink location="$work/gst.mkv" \
    d. ! queue ! audioconvert ! audioresample ! vorbisenc ! queue ! m.
}
mkv_ffmpeg() {
  ffmpeg -v error -y -i "$src" -c:v libx264 -b:v 2048k -preset medium -c:a libvorbis "$work/ffmpeg.mkv"
}
mkv_reelcast() {
  "$convert" --yes --format 2 --video-compressor "x264" --audio-compressor "vorbis" \
    "$src" "$work/rc.mkv"
}

printf '\n%-5s %10s %10s %10s %8s\n' format reelcast gst-launch ffmpeg ratio
for f in wmv avi mkv; do
  r=$(time_runs "${f}_reelcast")
  g=$(time_runs "${f}_gst")
  m=$(time_runs "${f}_ffmpeg")
  ratio=$(awk -v r="$r" -v g="$g" -v m="$m" 'BEGIN {b = g < m ? g : m; print r / b}')
  printf '%-5s %9.2fs %9.2fs %9.2fs %8.2f\n' "$f" "$r" "$g" "$m" "$ratio"
done

echo
echo "Peak memory of reelcast-convert (WMV, 640x360 sources):"
for minutes in 1 10; do
  long=$work/source-${minutes}m.mp4
  clip $((minutes * 60)) 640 360 "$long"
  /usr/bin/time -f "%M" -o "$work/peak" "$convert" --yes --format 1 "$long" "$work/peak.wmv" \
    >/dev/null 2>&1
  printf '  %2d-minute source: %6d MB\n' "$minutes" $(($(cat "$work/peak") / 1024))
done
