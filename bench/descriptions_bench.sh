#!/usr/bin/env bash
# Descript.ion files of 25,000, 50,000 and 100,000 entries through
# tovDescriptIon: read, 10,000 AddItem calls, 1,000 lookups, write; from a
# compiled client (descriptions_bench.exe, with its peak memory) and from
# VBScript (with the script process's peak). Time should grow linearly.
#   bench/descriptions_bench.sh BUILD_TREE
set -euo pipefail
tree=$(realpath "$1")
source "$(dirname "$0")/script_support.sh"
folder=$(mktemp -d /tmp/tovrin-descriptions-bench.XXXXXX)
trap 'rm -rf "$folder"' EXIT
cp "$(dirname "$0")/descriptions_bench.vbs" "$folder/"
register_library
for n in 25000 50000 100000; do
  python3 -c "import sys; sys.stdout.buffer.write(b''.join(b'file%d.txt description %d\r\n' % (i, i) for i in range($n)))" \
    > "$folder/source$n.ion"
  "$tree/wine-run" "$tree/bin/descriptions_bench.exe" "$(win "$folder/source$n.ion")" "$(win "$folder/out$n.ion")" "$n"
  "$tree/wine-run" cscript //nologo "$(win "$folder/descriptions_bench.vbs")" "$(win "$folder/source$n.ion")" \
    "$(win "$folder/out$n.ion")" "$n" > "$folder/vbs.txt" &
  job=$! peak=0
  while kill -0 "$job" 2>/dev/null; do
    now=$(peak_of_cscript)
    [ "$now" -gt "$peak" ] && peak=$now
    sleep 0.05
  done
  wait "$job" || true
  echo "$(cat "$folder/vbs.txt"); script process peak $((peak / 1024)) MiB"
done
