#!/usr/bin/env bash
# One million property reads of Scripting.Dictionary and of library objects
# through IDispatch: from a compiled client (dispatch_bench.exe) and from
# VBScript.
#   bench/dispatch_bench.sh BUILD_TREE
set -euo pipefail
tree=$(realpath "$1")
source "$(dirname "$0")/script_support.sh"
folder=$(mktemp -d /tmp/tovrin-dispatch-bench.XXXXXX)
trap 'rm -rf "$folder"' EXIT
cp "$(dirname "$0")/dispatch_bench.vbs" "$folder/"
printf 'one\r\ntwo\r\nthree\r\n' > "$folder/list.txt"
register_library
mkdir -p "$folder/tree/sub"
touch "$folder/tree/a.txt" "$folder/tree/sub/b.txt"
"$tree/wine-run" "$tree/bin/dispatch_bench.exe" "$(win "$folder/list.txt")" "$(win "$folder/tree")"
"$tree/wine-run" cscript //nologo "$(win "$folder/dispatch_bench.vbs")" "$(win "$folder/list.txt")" "$(win "$folder/tree")"
