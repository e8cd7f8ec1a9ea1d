#!/bin/sh
# Speed of the video path: the engine against the ffmpeg tool with the same encoder settings,
# one decoder thread and one encoder thread on both sides, over a generated 30 s 1280x720
# 25 fps clip with stereo sound. Prints each pair's mean wall time and processor time (user +
# system, steadier on a busy machine) and their ratios.
#   bench/video.sh [build folder, default build] [runs, default 3]
set -eu
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
. "$(dirname "$0")/pair.sh"
clip="$work/clip-1280x720-25fps-30s.mp4"
if [ ! -f "$clip" ]; then
  ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1280x720:rate=25:duration=30 \
    -f lavfi -i sine=frequency=440:sample_rate=44100:duration=30 -ac 2 \
    -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p -c:a aac -b:a 128k "$clip"
fi

source="$clip"

pair mpeg4-480x320-1200k-aac80k mp4 \
  "vcodec mpeg4 s 480x320 vb 1200000 acodec libfaac ab 80000 ar 44100 ac 2" \
  "-c:v mpeg4 -s 480x320 -b:v 1200k -c:a aac -b:a 80k -ar 44100 -ac 2"
pair libx264-640x480-1500k-aac80k mp4 \
  "vcodec libx264 s 640x480 vb 1500000 acodec libfaac ab 80000 ar 44100 ac 2" \
  "-c:v libx264 -s 640x480 -b:v 1500k -c:a aac -b:a 80k -ar 44100 -ac 2"
