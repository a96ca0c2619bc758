#!/usr/bin/env bash
# GetFile2 and PutFile2 on 100 MiB text files (UTF-8 with a mark, ANSI,
# UTF-16) from a script, beside Scripting.FileSystemObject's ReadAll of the
# same files in the same prefix (ADODB.Stream cannot be used under Wine: its
# calls fail); then ReadStandardListFile2 on 250,000 to 1,000,000 lines.
# Prints seconds, MiB/s and the script process's peak memory, and the same
# calls from a compiled client (text_vtable_bench.exe), whose peak is the
# library's own: a script engine keeps a copy of the text it is handed.
#   bench/text_bench.sh BUILD_TREE
set -euo pipefail
tree=$(realpath "$1")
source "$(dirname "$0")/script_support.sh"
folder=$(mktemp -d /tmp/tovrin-text-bench.XXXXXX)
trap 'rm -rf "$folder"' EXIT
cp "$(dirname "$0")/text_bench.js" "$folder/"
fso_limit=${TOVRIN_FSO_SECONDS:-300}

python3 - "$folder" <<'PY'
import sys
folder = sys.argv[1]
line = "Tovrin text, Grüße, naïve café, € 0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n"
target = 100 * 1024 * 1024
text = line * (target // len(line.encode("utf-8")))
open(f"{folder}/utf8.txt", "wb").write(b"\xef\xbb\xbf" + text.encode("utf-8"))
open(f"{folder}/ansi.txt", "wb").write(text.encode("cp1252")[:target])
half = text[: target // 2]
open(f"{folder}/utf16.txt", "wb").write(b"\xff\xfe" + half.encode("utf-16-le"))
for n in (250000, 500000, 1000000):
    open(f"{folder}/list{n}.txt", "wb").write("".join(f"entry {i}\r\n" if i % 10 else "; comment\r\n" for i in range(n)).encode("ascii"))
PY
register_library

# run LABEL FILE-FOR-SIZE ARGS...: one script process, its time and peak.
run() {
  local label=$1 sized=$2 out="$folder/out.txt" peak=0 now limit=$3
  shift 3
  "$tree/wine-run" cscript //nologo "$(win "$folder/text_bench.js")" "$@" > "$out" 2>/dev/null &
  local job=$! started=$SECONDS
  while kill -0 "$job" 2>/dev/null; do
    now=$(peak_of_cscript)
    [ "$now" -gt "$peak" ] && peak=$now
    if [ $((SECONDS - started)) -gt "$limit" ]; then
      pkill -f cscript || true
      printf "%-34s gave up after %d s\n" "$label" "$limit"
      return 0
    fi
    sleep 0.1
  done
  local size_mib
  size_mib=$(awk -v b="$(stat -c %s "$sized")" 'BEGIN { printf "%.1f", b / 1048576 }')
  read -r what seconds count < "$out" || true
  awk -v l="$label" -v s="$seconds" -v m="$size_mib" -v p="$peak" -v c="$count" \
    'BEGIN { printf "%-34s %6.2f s  %7.1f MiB/s  peak %5.0f MiB (%.1fx the file)  %s\n", l, s, (s > 0 ? m / s : 0), p / 1024, p / 1024 / m, c }'
}

for kind in utf8 ansi utf16; do
  file="$folder/$kind.txt"
  run "GetFile2 $kind" "$file" 600 get "$(win "$file")"
  encoding=$([ "$kind" = utf8 ] && echo 2 || ([ "$kind" = ansi ] && echo 1 || echo 3))
  run "GetFile2 + PutFile2 $kind" "$file" 600 put "$(win "$file")" "$(win "$folder/out-$kind.txt")" "$encoding"
  cmp -s "$file" "$folder/out-$kind.txt" && echo "  written file identical to the source"
  rm -f "$folder/out-$kind.txt"
  echo "  the same through the vtable, without a script engine:"
  "$tree/wine-run" "$tree/bin/text_vtable_bench.exe" "$(win "$file")" "$(win "$folder/out-$kind.txt")"
  cmp -s "$file" "$folder/out-$kind.txt" && echo "  written file identical to the source"
  rm -f "$folder/out-$kind.txt"
  unicode=$([ "$kind" = utf16 ] && echo 1 || echo 0)
  run "FileSystemObject ReadAll $kind" "$file" "$fso_limit" fso "$(win "$file")" "$unicode"
done
for n in 250000 500000 1000000; do
  run "ReadStandardListFile2 $n lines" "$folder/list$n.txt" 600 list "$(win "$folder/list$n.txt")"
done
