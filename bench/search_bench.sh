#!/usr/bin/env bash
# A recursive search from a compiled client over a tree of a million entries
# (10,000 folders of 100 empty files, names of about 30 characters): the
# bare walk with the find functions alone (the floor), and
# tovFoundedFiles.Refresh with its time against that walk, its peak working
# set and the memory each record holds; then five million entries of a
# volume the file-system seam makes up, which a 32-bit host must hold whole.
# Over about 3,000 folders and 30,000 files, the walk that asks every
# entry's compressed size, and VBScript beside Scripting.FileSystemObject
# walking the same tree, each reading every entry's name, size and kind.
#   bench/search_bench.sh BUILD_TREE
set -euo pipefail
tree=$(realpath "$1")
source "$(dirname "$0")/script_support.sh"
folder=$(mktemp -d /tmp/tovrin-search-bench.XXXXXX)
trap 'rm -rf "$folder"' EXIT
cp "$(dirname "$0")/search_bench.vbs" "$folder/"
python3 - "$folder" <<'PY'
import os, sys
root = sys.argv[1]
for a in range(30):
    for b in range(10):
        for c in range(10):
            d = os.path.join(root, "tree", f"a{a}", f"b{b}", f"c{c}")
            os.makedirs(d, exist_ok=True)
            for f in range(10):
                with open(os.path.join(d, f"file{f}.txt"), "wb") as out:
                    out.write(b"x" * (f + 1))
for a in range(100):
    for b in range(100):
        d = os.path.join(root, "million", f"folder-{a:03d}-of-the-benchmark", f"subfolder-{b:03d}-of-the-tree")
        os.makedirs(d, exist_ok=True)
        for f in range(100):
            open(os.path.join(d, f"file-{f:03d}-with-a-longer-name.txt"), "wb").close()
PY
register_library
bench_exe() { "$tree/wine-run" "$tree/bin/search_bench.exe" "$@"; }
echo "a million entries:"
bench_exe walk "$(win "$folder/million")" >/dev/null # warms the page cache
bench_exe walk "$(win "$folder/million")"
bench_exe library "$(win "$folder/million")"
bench_exe volume 5000000
echo "33,330 entries:"
bench_exe walk "$(win "$folder/tree")"
bench_exe compressed "$(win "$folder/tree")"
"$tree/wine-run" cscript //nologo "$(win "$folder/search_bench.vbs")" tov "$(win "$folder/tree")"
"$tree/wine-run" cscript //nologo "$(win "$folder/search_bench.vbs")" fso "$(win "$folder/tree")"
