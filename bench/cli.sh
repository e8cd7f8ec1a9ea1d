#!/bin/sh
# Speed of whole conversions through the command-line front end: three profile jobs against
# the ffmpeg tool doing the same job with the same encoder settings (one decoder and one
# encoder thread on both sides), a batch of 4 files with --jobs 2 against --jobs 1, and the
# peak memory of each side. Prints a table.
#   bench/cli.sh [build folder, default build] [runs, default 3]
set -eu
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
cli="$build/bin/marrowfin-cli"
if [ ! -x "$cli" ]; then
  echo "build it first: cmake --build $build --target marrowfin-cli" >&2
  exit 1
fi
work="$build/bench-data/cli"
mkdir -p "$work"
clip="$work/clip-640x360-25fps-20s.mp4"
wav="$work/tone-44k-stereo-60s.wav"
[ -f "$clip" ] || ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=640x360:rate=25:duration=20 \
  -f lavfi -i sine=frequency=440:sample_rate=44100:duration=20 -ac 2 \
  -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p -c:a aac -b:a 128k "$clip"
[ -f "$wav" ] || ffmpeg -nostdin -v error -y -f lavfi -i 'aevalsrc=0.5*sin(440*2*PI*t)|0.5*sin(660*2*PI*t):s=44100:d=60' \
  -c:a pcm_s16le "$wav"
for i in 1 2 3 4; do [ -f "$work/batch-$i.mp4" ] || cp "$clip" "$work/batch-$i.mp4"; done

python3 - "$cli" "$work" "$clip" "$wav" "$runs" <<'PY'
import os, resource, shutil, statistics, subprocess, sys, time

cli, work, clip, wav, runs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5])

def measure(command):
    """Wall seconds (median of runs) and peak resident memory in MiB of one command."""
    times, peak = [], 0
    for _ in range(runs + 1):  # the first run warms the caches and is not counted
        out = os.path.join(work, "out")
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        start = time.perf_counter()
        child = subprocess.Popen(command, cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        if status != 0:
            sys.exit(f"failed: {' '.join(command)}")
        times.append(time.perf_counter() - start)
        peak = max(peak, usage.ru_maxrss / 1024)
    return statistics.median(times[1:]), peak

def tool(source, output, args):
    return ["ffmpeg", "-nostdin", "-v", "error", "-y", "-threads", "1", "-i", source] + args + ["-threads", "1", os.path.join("out", output)]

jobs = [
    ("iPhone, MPEG-4", ["--profile", "iPhone (*.mp4)"], clip,
     ["-c:v", "mpeg4", "-b:v", "1200k", "-s", "480x320", "-pix_fmt", "yuv420p", "-movflags", "+faststart",
      "-c:a", "aac", "-b:a", "80k", "-ar", "44100", "-ac", "2"], "a.mp4"),
    # What the profile asks of the encoder besides the boxes: Main profile, 29.97 pictures a
    # second, the rate limits of level 3.0, 4:2:0 and the index first (the x264 settings
    # written into both files are identical).
    ("Apple TV H264", ["--profile", "Apple TV H264 (640 x 480) (*.mp4)"], clip,
     ["-c:v", "libx264", "-b:v", "2000k", "-s", "640x480", "-profile:v", "main", "-r", "30000/1001",
      "-maxrate", "10000k", "-bufsize", "10000k", "-pix_fmt", "yuv420p", "-movflags", "+faststart",
      "-c:a", "aac", "-b:a", "64k", "-ar", "48000"], "b.mp4"),
    ("MP3 from WAV", ["--profile", "MP3 - Mpeg Layer3 Audio (*.mp3)"], wav,
     ["-c:a", "libmp3lame", "-b:a", "192k", "-ar", "48000", "-ac", "2"], "c.mp3"),
]
print(f"{'job':<22}{'engine s':>10}{'tool s':>10}{'ratio':>8}{'engine MiB':>12}{'tool MiB':>10}")
for name, profile, source, args, output in jobs:
    engine, engine_mem = measure([cli] + profile + ["-o", "out", source])
    other, other_mem = measure(tool(source, output, args))
    print(f"{name:<22}{engine:>10.2f}{other:>10.2f}{engine / other:>8.3f}{engine_mem:>12.1f}{other_mem:>10.1f}")

batch = [os.path.join(work, f"batch-{i}.mp4") for i in range(1, 5)]
one, one_mem = measure([cli, "--profile", "iPhone (*.mp4)", "-o", "out", "--jobs", "1"] + batch)
two, two_mem = measure([cli, "--profile", "iPhone (*.mp4)", "-o", "out", "--jobs", "2"] + batch)
print(f"{'4 files, --jobs 1':<22}{one:>10.2f}{'':>10}{'':>8}{one_mem:>12.1f}")
print(f"{'4 files, --jobs 2':<22}{two:>10.2f}{'':>10}{'':>8}{two_mem:>12.1f}")
print(f"--jobs 2 is {one / two:.2f} times as fast as --jobs 1 on {os.cpu_count()} cores")
PY
