# What the script benchmarks share; sourced by bench/*_bench.sh after they
# set `tree` to the build tree.

# A Linux path as the Windows programs see it.
win() { echo "Z:${1//\//\\}"; }

# Registers the tree's Ormelin0105 in the tree's prefix.
register_library() {
  (cd "$tree/bin" && "$tree/wine-run" regsvr32 /s Ormelin0105.dll)
}

# The script's Windows process is not a child the shell can wait for, so its
# peak memory (VmHWM, in KiB) is read from /proc while it runs.
peak_of_cscript() {
  local peak=0 value pid
  for pid in $(pgrep -f 'cscript' || true); do
    value=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$pid/status" 2>/dev/null || true)
    [ -n "$value" ] && [ "$value" -gt "$peak" ] && peak=$value
  done
  echo "$peak"
}
