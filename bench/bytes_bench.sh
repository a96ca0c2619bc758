#!/usr/bin/env bash
# GetFileB and PutFileB on a 512 MiB file from a script, beside the platform's
# own file copy in the same prefix: MiB/s and the peak memory of each process.
#   bench/bytes_bench.sh BUILD_TREE
set -euo pipefail
tree=$(realpath "$1")
source "$(dirname "$0")/script_support.sh"
size_mib=512
folder=$(mktemp -d /tmp/tovrin-bytes-bench.XXXXXX)
trap 'rm -rf "$folder"' EXIT
head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$folder/source.bin"
cp "$(dirname "$0")/bytes_bench.js" "$folder/"

register_library

run() {
  local mode=$1 out="$folder/out-$1.txt" peak=0 now
  "$tree/wine-run" cscript //nologo "$(win "$folder/bytes_bench.js")" \
    "$mode" "$(win "$folder/source.bin")" "$(win "$folder/target-$mode.bin")" > "$out" 2>/dev/null &
  local job=$!
  while kill -0 "$job" 2>/dev/null; do
    now=$(peak_of_cscript)
    [ "$now" -gt "$peak" ] && peak=$now
    sleep 0.1
  done
  grep -E '^(get|put|copy) ' "$out" | while read -r what seconds; do
    awk -v w="$what" -v s="$seconds" -v m="$size_mib" -v p="$peak" \
      'BEGIN { printf "%-5s %4d MiB in %6.2f s = %7.1f MiB/s   (script process peak %.0f MiB)\n", w, m, s, (s > 0 ? m / s : 0), p / 1024 }'
  done
  if [ -f "$folder/target-$mode.bin" ]; then
    cmp -s "$folder/source.bin" "$folder/target-$mode.bin" && echo "      target identical to source"
  fi
  return 0
}
run get
run getput
run copy
echo "== the same through the vtable, without a script engine"
"$tree/wine-run" "$tree/bin/bytes_vtable_bench.exe" "$(win "$folder/source.bin")" "$(win "$folder/target-vtable.bin")"
