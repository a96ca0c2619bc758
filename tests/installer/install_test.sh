#!/usr/bin/env bash
# The installer for real under Wine, in a prefix of its own: msiexec /i
# installs everything under Program Files and registers it through the
# package's tables; a script creates the classes from there and Veskar
# lists a PNG; msiexec /x leaves no file and no registry key of ours.
#   tests/installer/install_test.sh BUILD_TREE x86|x64
set -euo pipefail
tree=$(realpath "$1") msiarch=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(tr -d '[:space:]' < "$root/VERSION")
case "$msiarch" in
  x86) WINEARCH=win32 loader=/usr/lib/wine/wine ;;
  *) WINEARCH=win64 loader=/usr/lib/wine/wine64 ;;
esac
if [ "$msiarch" = x64 ] && [ ! -f "$root/build/x86_64/bin/Ormelin0105.dll" ]; then
  echo "install test: the 64-bit library is not built (scripts/test builds it)"
  exit 1
fi
msi="$tree/package/Tovrin-$msiarch.msi"
"$root/scripts/make-msi" "$msiarch" "$msi"

export WINEPREFIX="$tree/installprefix-$msiarch" WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export PATH="$(dirname "$loader"):$PATH"
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
"$loader" wineboot -i >/dev/null 2>&1
wineserver -w
folders=("$WINEPREFIX/drive_c/Program Files/Tovrin" "$WINEPREFIX/drive_c/Program Files (x86)/Tovrin")
failures=0
check() { # WHAT COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
has_key() { "$loader" reg query "$1" >/dev/null 2>&1; }
no_key() { ! has_key "$1"; }
our_keys=(
  'HKCR\CLSID\{1C795C50-4D5A-4160-9B5C-8AC07EC3A47E}' 'HKCR\Ormelin0105.tovFSO'
  'HKCR\TypeLib\{F4E33DFD-390E-4BB0-BC4D-F5EAEE694E2B}' 'HKCR\Interface\{989EF825-6B06-49C8-A150-F101C2ACDDB8}'
  'HKCR\Applications\Veskar.exe' 'HKCR\.png\OpenWithList\Veskar.exe'
)

check "msiexec /i installs quietly" "$loader" msiexec /i "$(winepath -w "$msi" 2>/dev/null || echo "Z:${msi//\//\\}")" /qn
installed=""
for folder in "${folders[@]}"; do [ -f "$folder/Veskar.exe" ] && installed=$folder; done
check "Veskar, its read-me and the libraries are under Program Files" test -n "$installed" -a -f "$installed/Veskar.ReadMe.txt" \
  -a -f "$installed/Ormelin0105.dll" -a -f "$installed/tovrinsupport0100.dll" -a -f "$installed/tovrinsupportfbe0100.dll"
for key in "${our_keys[@]}"; do check "registered: $key" has_key "$key"; done
programs=$("$loader" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' || true)
listed() { # the program's own key names it and its version
  awk -v version="$version" 'BEGIN { RS = "" }
       /DisplayName[ \t]+REG_SZ[ \t]+Tovrin Veskar and Ormelin/ && index($0, "DisplayVersion") &&
       match($0, /DisplayVersion[ \t]+REG_SZ[ \t]+[^ \t\n]+/) &&
       substr($0, RSTART, RLENGTH) ~ ("[ \t]" version "$") { found = 1 }
       END { exit !found }' <<<"$programs"
}
check "Add/Remove Programs lists Tovrin Veskar and Ormelin $version" listed
cp "$root/tests/installer/check_installed.vbs" "$WINEPREFIX/drive_c/check_installed.vbs"
output=$("$loader" cscript //nologo 'C:\check_installed.vbs' 2>&1 || true)
echo "$output"
check "a script creates the classes from the installed library" grep -q "ALL [0-9]* CHECKS PASSED" <<<"$output"
# Veskar is a 32-bit program, read from a 32-bit test program (list-view
# records differ in size between the two): where this machine cannot run
# 32-bit code, Veskar cannot run at all, and the check says so.
if [ -n "$installed" ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  veskar="C:\\Program Files\\Tovrin\\Veskar.exe"
  [ "$installed" = "${folders[1]}" ] && veskar="C:\\Program Files (x86)\\Tovrin\\Veskar.exe"
  check "the installed Veskar lists a PNG" env TOVRIN_VESKAR="$veskar" "$loader" "$root/build/i686/bin/veskar_exe_tests.exe" \
    --gtest_filter=VeskarExe.ListsTheSampleAndClosesOnEscape
else
  echo "not run: the installed Veskar lists a PNG (this machine cannot run 32-bit programs)"
fi

check "msiexec /x uninstalls quietly" "$loader" msiexec /x "$(winepath -w "$msi" 2>/dev/null || echo "Z:${msi//\//\\}")" /qn
for folder in "${folders[@]}"; do check "nothing left in $folder" test ! -e "$folder"; done
for key in "${our_keys[@]}"; do check "no key left: $key" no_key "$key"; done
# The portable folder: register.cmd and unregister.cmd beside the libraries.
portable="$WINEPREFIX/drive_c/Tovrin-portable"
mkdir -p "$portable/x64"
cp "$root"/build/i686/bin/{Ormelin0105.dll,tovrinsupport0100.dll,tovrinsupportfbe0100.dll} "$portable/"
if [ "$msiarch" = x64 ]; then
  cp "$root"/build/x86_64/bin/{Ormelin0105.dll,tovrinsupport0100.dll,tovrinsupportfbe0100.dll} "$portable/x64/"
fi
cp "$root"/installer/{register.cmd,unregister.cmd} "$portable/"
check "register.cmd registers the portable folder" "$loader" cmd /c 'C:\Tovrin-portable\register.cmd'
check "registered from the portable folder" has_key 'HKCR\CLSID\{1C795C50-4D5A-4160-9B5C-8AC07EC3A47E}\InprocServer32'
printf 'Set tov = CreateObject("Ormelin0105.tovFSO")\r\nWScript.Echo "portable: " & tov.GetFileZone("C:\\none")\r\n' \
  > "$WINEPREFIX/drive_c/portable_check.vbs"
output=$("$loader" cscript //nologo 'C:\portable_check.vbs' 2>&1 || true)
check "a script creates tovFSO from the portable folder" grep -q "portable: 0" <<<"$output"
check "unregister.cmd removes it again" "$loader" cmd /c 'C:\Tovrin-portable\unregister.cmd'
check "nothing registered after unregister.cmd" no_key 'HKCR\CLSID\{1C795C50-4D5A-4160-9B5C-8AC07EC3A47E}'
wineserver -k 2>/dev/null || true
echo "install test: $failures failed"
[ "$failures" -eq 0 ]
