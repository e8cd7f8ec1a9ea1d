# Sourced by the benchmark scripts once $build and $runs are set: finds the engine's
# conversion program and the data folder, and defines pair, which times one job of that
# program against the ffmpeg tool on the same input ($source), both with one decoder and one
# encoder thread, and prints the mean wall time, the processor time and their ratios.
bench="$build/bin/video_convert_bench"
if [ ! -x "$bench" ]; then
  echo "build it first: cmake --build $build --target video_convert_bench" >&2
  exit 1
fi
work="$build/bench-data"
mkdir -p "$work"

# pair <name> <extension> <engine options> <tool output options>
pair() {
  json="$work/$1.json"
  hyperfine --style none --runs "$runs" --warmup 1 --export-json "$json" \
    -n engine "'$bench' '$source' '$work/$1-engine.$2' $3" \
    -n tool "ffmpeg -nostdin -v error -y -threads 1 -i '$source' $4 -threads 1 '$work/$1-tool.$2'" >/dev/null
  python3 - "$json" "$1" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
engine, tool = results["engine"], results["tool"]
cpu = lambda r: r["user"] + r["system"]
print(f'{sys.argv[2]}\n  wall: engine {engine["mean"]:6.3f} s (±{engine["stddev"] or 0:.3f})  tool {tool["mean"]:6.3f} s '
      f'(±{tool["stddev"] or 0:.3f})  engine/tool {engine["mean"] / tool["mean"]:.3f}\n'
      f'  cpu:  engine {cpu(engine):6.3f} s          tool {cpu(tool):6.3f} s          engine/tool {cpu(engine) / cpu(tool):.3f}')
PY
}
