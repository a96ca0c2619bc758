#!/usr/bin/env bash
# A recursive search over about 3,000 folders and 30,000 files: the bare walk
# with the find functions alone (the floor) and the same walk asking every
# entry's compressed size, tovFoundedFiles.Refresh from a compiled client,
# and from VBScript beside Scripting.FileSystemObject walking the same tree,
# each reading every entry's name, size and kind.
#   bench/search_bench.sh BUILD_TREE
set -euo pipefail
tree=$(realpath "$1")
source "$(dirname "$0")/script_support.sh"
folder=$(mktemp -d /tmp/tovrin-search-bench.XXXXXX)
trap 'rm -rf "$folder"' EXIT
cp "$(dirname "$0")/search_bench.vbs" "$folder/"
python3 - "$folder/tree" <<'PY'
import os, sys
root = sys.argv[1]
for a in range(30):
    for b in range(10):
        for c in range(10):
            d = os.path.join(root, f"a{a}", f"b{b}", f"c{c}")
            os.makedirs(d, exist_ok=True)
            for f in range(10):
                with open(os.path.join(d, f"file{f}.txt"), "wb") as out:
                    out.write(b"x" * (f + 1))
PY
register_library
"$tree/wine-run" "$tree/bin/search_bench.exe" walk "$(win "$folder/tree")" # warms the page cache
"$tree/wine-run" "$tree/bin/search_bench.exe" walk "$(win "$folder/tree")"
"$tree/wine-run" "$tree/bin/search_bench.exe" compressed "$(win "$folder/tree")"
"$tree/wine-run" "$tree/bin/search_bench.exe" library "$(win "$folder/tree")"
"$tree/wine-run" cscript //nologo "$(win "$folder/search_bench.vbs")" tov "$(win "$folder/tree")"
"$tree/wine-run" cscript //nologo "$(win "$folder/search_bench.vbs")" fso "$(win "$folder/tree")"
