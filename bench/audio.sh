#!/bin/sh
# Speed of the audio path: the engine against the ffmpeg tool with the same encoder settings
# (one thread each), converting a generated 60 s 44100 Hz stereo WAV to MP3 and to AAC.
# Prints each pair's mean wall time and processor time (user + system, steadier on a busy
# machine) and their ratios. The engine side is the generic conversion program of the video
# benchmark.
#   bench/audio.sh [build folder, default build] [runs, default 10]
set -eu
build=$(cd "${1:-build}" && pwd)
runs=${2:-10}
. "$(dirname "$0")/pair.sh"
wav="$work/tone-44k-stereo-60s.wav"
if [ ! -f "$wav" ]; then
  ffmpeg -nostdin -v error -y -f lavfi -i 'aevalsrc=0.5*sin(440*2*PI*t)|0.5*sin(660*2*PI*t):s=44100:d=60' \
    -c:a pcm_s16le "$wav"
fi

source="$wav"

pair mp3-128k mp3 "acodec libmp3lame ab 128000 ar 44100 ac 2" "-c:a libmp3lame -b:a 128k -ar 44100 -ac 2"
pair aac-128k m4a "acodec libfaac ab 128000 ar 44100 ac 2" "-c:a aac -b:a 128k -ar 44100 -ac 2"
