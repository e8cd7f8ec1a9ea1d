#!/usr/bin/env bash
# Fails when any built binary carries a NEEDED entry for a codec library.
set -u
dir=${1:?binary folder}
checked=0 bad=0
while IFS= read -r -d '' file; do
  head -c 4 "$file" | grep -q $'\x7fELF' || continue
  checked=$((checked + 1))
  if readelf -d "$file" | grep -E 'NEEDED.*\[lib(avcodec|avformat|avutil|swscale|swresample|avfilter|avdevice)\.' ; then
    echo "links a codec library: $file"
    bad=1
  fi
done < <(find "$dir" -type f -print0)
echo "checked $checked binaries"
[ "$checked" -gt 0 ] && [ "$bad" -eq 0 ]
