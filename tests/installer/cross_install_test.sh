#!/usr/bin/env bash
# One product on a machine, whichever architecture's package: in fresh
# 64-bit prefixes, under Wine's msiexec, the x86 package and then the x64
# one of the same version, the other way round, and the x86 package and
# then a newer x64 one. After each, Add/Remove Programs lists one entry,
# every script host the installed package serves creates the library's
# classes by name, and uninstalling leaves nothing of ours in either
# registry view. First, the packages' components keep Windows Installer's
# rule: one component code, one set of resources at one bitness.
#   tests/installer/cross_install_test.sh BUILD_TREE
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tree=$(realpath "$1")
packages="$tree/package"
for arch in x86 x64; do "$root/scripts/make-msi" "$arch" "$packages/Tovrin-$arch-cross.msi"; done
"$root/scripts/make-msi" x64 "$packages/Tovrin-x64-cross-newer.msi" "$newer_version"
x86="$packages/Tovrin-x86-cross.msi" x64="$packages/Tovrin-x64-cross.msi" x64newer="$packages/Tovrin-x64-cross-newer.msi"
check "the packages' component codes each mean one set of resources at one bitness" \
  python3 "$root/tests/installer/check_components.py" "$x86" "$x64" "$x64newer"

# scenario NAME FIRST SECOND VERSION HOSTS...: FIRST then SECOND installed
# in a fresh prefix; VERSION listed once, each host's cscript creates the
# classes, and SECOND's uninstall leaves nothing.
scenario() {
  local name=$1 first=$2 second=$3 listed_version=$4
  shift 4
  fresh_prefix "$tree/crossprefix" win64
  check "$name: the first package installs" "$loader" msiexec /i "$(winpath "$first")" /qn
  check "$name: the second package installs" "$loader" msiexec /i "$(winpath "$second")" /qn
  echo "$name: Add/Remove Programs: $(entries)"
  check "$name: Add/Remove Programs lists one entry, $listed_version" listed "$listed_version"
  for host in "$@"; do
    check "$name: $(basename "$host")'s scripts create tovFSO by name" creates "$host"
  done
  check "$name: the second package uninstalls" "$loader" msiexec /x "$(winpath "$second")" /qn
  check "$name: Add/Remove Programs lists nothing" unlisted
  check "$name: no file left" test ! -e "$WINEPREFIX/drive_c/Program Files/Tovrin" -a \
    ! -e "$WINEPREFIX/drive_c/Program Files (x86)/Tovrin"
  check "$name: no key of ours left in either registry view" nothing_registered "$x86" "$x64"
  wineserver -k 2>/dev/null || true
}

wine32=/usr/lib/wine/wine wine64=/usr/lib/wine/wine64
scenario "x86, then x64 of the same version" "$x86" "$x64" "$version" "$wine64" "$wine32"
scenario "x64, then x86 of the same version" "$x64" "$x86" "$version" "$wine32"
scenario "x86, then a newer x64" "$x86" "$x64newer" "$newer_version" "$wine64" "$wine32"
rm -rf "$tree/crossprefix"
echo "cross install test: $failures failed"
[ "$failures" -eq 0 ]
