#!/usr/bin/env bash
# The installer for real under Wine, in a prefix of its own: msiexec /i
# installs everything under Program Files and registers it through the
# package's tables; a script creates the classes from there and Veskar
# lists a PNG; a newer package replaces it, an older one is refused;
# msiexec /x leaves no file and no registry key of ours. Then the portable
# folder's libraries are registered and unregistered, one architecture at a
# time where there are two.
#   tests/installer/install_test.sh BUILD_TREE x86|x64
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tree=$(realpath "$1") msiarch=$2
if [ "$msiarch" = x64 ] && [ ! -f "$root/build/x86_64/bin/Ormelin0105.dll" ]; then
  echo "install test: the 64-bit library is not built (scripts/test builds it)"
  exit 1
fi
msi="$tree/package/Tovrin-$msiarch.msi"
"$root/scripts/make-msi" "$msiarch" "$msi"
# A newer build of the same package: the revision after this one.
newer="$tree/package/Tovrin-$msiarch-newer.msi"
"$root/scripts/make-msi" "$msiarch" "$newer" "$newer_version"
if [ "$msiarch" = x86 ]; then fresh_prefix "$tree/installprefix-$msiarch" win32
else fresh_prefix "$tree/installprefix-$msiarch" win64; fi
folders=("$WINEPREFIX/drive_c/Program Files/Tovrin" "$WINEPREFIX/drive_c/Program Files (x86)/Tovrin")
our_keys=(
  'HKCR\CLSID\{1C795C50-4D5A-4160-9B5C-8AC07EC3A47E}' 'HKCR\Ormelin0105.tovFSO'
  'HKCR\TypeLib\{F4E33DFD-390E-4BB0-BC4D-F5EAEE694E2B}' 'HKCR\Interface\{989EF825-6B06-49C8-A150-F101C2ACDDB8}'
  'HKCR\Applications\Veskar.exe' 'HKCR\.png\OpenWithList\Veskar.exe'
)

check "msiexec /i installs quietly" "$loader" msiexec /i "$(winpath "$msi")" /qn
installed=""
for folder in "${folders[@]}"; do [ -f "$folder/Veskar.exe" ] && installed=$folder; done
check "Veskar, its read-me and the libraries are under Program Files" test -n "$installed" -a -f "$installed/Veskar.ReadMe.txt" \
  -a -f "$installed/Ormelin0105.dll" -a -f "$installed/tovrinsupport0100.dll" -a -f "$installed/tovrinsupportfbe0100.dll"
for key in "${our_keys[@]}"; do check "registered: $key" has_key "$key"; done
check "Add/Remove Programs lists Tovrin Veskar and Ormelin $version" listed "$version"
# The script with the shared checks in front, as the build gives every script test.
cat "$root/tests/common/checks.vbs" "$root/tests/installer/check_installed.vbs" > "$WINEPREFIX/drive_c/check_installed.vbs"
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

# Upgrades: a newer package replaces the installed one, an older one is
# refused, the same one again leaves one entry.
loaders=("$loader")
[ "$msiarch" = x64 ] && /usr/lib/wine/wine --version >/dev/null 2>&1 && loaders+=(/usr/lib/wine/wine)
check "a newer package installs over it" "$loader" msiexec /i "$(winpath "$newer")" /qn
check "Add/Remove Programs lists only the newer $newer_version" listed "$newer_version"
for key in "${our_keys[@]}"; do check "still registered: $key" has_key "$key"; done
for each in "${loaders[@]}"; do check "created by name from $(basename "$each")'s scripts" creates "$each"; done
check "the older package is refused" bash -c '! "$0" msiexec /i "$1" /qn' "$loader" "$(winpath "$msi")"
check "Add/Remove Programs still lists only $newer_version" listed "$newer_version"
[ -n "$installed" ] && rm -f "$installed/Veskar.ReadMe.txt"
check "the same package again installs" "$loader" msiexec /i "$(winpath "$newer")" /qn
check "and leaves one entry" listed "$newer_version"
check "and repairs what was missing" test -n "$installed" -a -f "$installed/Veskar.ReadMe.txt"
msi=$newer

check "msiexec /x uninstalls quietly" "$loader" msiexec /x "$(winpath "$msi")" /qn
for folder in "${folders[@]}"; do check "nothing left in $folder" test ! -e "$folder"; done
for key in "${our_keys[@]}"; do check "no key left: $key" no_key "$key"; done
check "no key of ours left in either registry view" nothing_registered "$msi"
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
if [ "$msiarch" = x64 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  # Each architecture's unregistration leaves the other one whole.
  check "the 32-bit library unregisters alone" /usr/lib/wine/wine regsvr32 /s /u 'C:\Tovrin-portable\Ormelin0105.dll'
  check "a 64-bit script still creates tovFSO by name" creates "$loader"
  check "the 32-bit library registers again" /usr/lib/wine/wine regsvr32 /s 'C:\Tovrin-portable\Ormelin0105.dll'
  check "the 64-bit library unregisters alone" "$loader" regsvr32 /s /u 'C:\Tovrin-portable\x64\Ormelin0105.dll'
  check "a 32-bit script still creates tovFSO by name" creates /usr/lib/wine/wine
fi
check "unregister.cmd removes it again" "$loader" cmd /c 'C:\Tovrin-portable\unregister.cmd'
check "nothing registered after unregister.cmd" no_key 'HKCR\CLSID\{1C795C50-4D5A-4160-9B5C-8AC07EC3A47E}'
for key in 'HKCR\Ormelin0105.tovFSO' 'HKCR\TypeLib\{F4E33DFD-390E-4BB0-BC4D-F5EAEE694E2B}'; do
  check "no key left after unregister.cmd: $key" no_key "$key"
done
wineserver -k 2>/dev/null || true
echo "install test: $failures failed"
[ "$failures" -eq 0 ]
