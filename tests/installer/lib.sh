# Shared by the installer tests: a fresh Wine prefix of the tests' own, the
# checks they count, and what Windows Installer and the registry say.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
version=$(tr -d '[:space:]' < "$root/VERSION")
# The revision after this one, for a newer package.
newer_version="${version%.*}.$(( ${version##*.} + 1 ))"
failures=0

winpath() { winepath -w "$1" 2>/dev/null || echo "Z:${1//\//\\}"; }

# fresh_prefix DIR win32|win64: a new prefix there, its loader in $loader.
fresh_prefix() {
  export WINEPREFIX=$1 WINEARCH=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$2" = win32 ]; then loader=/usr/lib/wine/wine; else loader=/usr/lib/wine/wine64; fi
  export PATH="$(dirname "$loader"):$PATH"
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  "$loader" wineboot -i >/dev/null 2>&1
  wineserver -w
}

check() { # WHAT COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

has_key() { "$loader" reg query "$1" >/dev/null 2>&1; }
no_key() { ! has_key "$1"; }

# entries: the number of Add/Remove Programs entries of the product, in
# either registry view, and the versions they give.
entries() {
  wineserver -w 2>/dev/null || true # the installer's own processes end after msiexec returns
  local views=("")
  [ "$WINEARCH" = win64 ] && views=(/reg:64 /reg:32)
  for view in "${views[@]}"; do
    "$loader" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s $view 2>/dev/null
  done | tr -d '\r' |
    awk 'BEGIN { RS = "" }
       /DisplayName[ \t]+REG_SZ[ \t]+Tovrin Veskar and Ormelin/ { count++
         if (match($0, /DisplayVersion[ \t]+REG_SZ[ \t]+[^ \t\n]+/)) { split(substr($0, RSTART, RLENGTH), f); versions = versions " " f[3] } }
       END { print count + 0 versions }'
}
listed() { [ "$(entries)" = "1 $1" ]; }     # VERSION: listed once, with that version
unlisted() { [ "$(entries)" = "0" ]; }

creates() { # LOADER: that architecture's cscript creates tovFSO by its name
  printf 'Set tov = CreateObject("Ormelin0105.tovFSO")\r\nWScript.Echo "created: " & tov.GetFileZone("C:\\none")\r\n' \
    > "$WINEPREFIX/drive_c/creates.vbs"
  "$1" cscript //nologo 'C:\creates.vbs' 2>&1 | grep -q "created: 0"
}

# nothing_registered PACKAGE...: no key the packages write (classes,
# program identifiers, interfaces, the type library, Open with) is left in
# either registry view.
nothing_registered() {
  local names view found=0
  names=$(for package in "$@"; do msiinfo export "$package" Registry | tr -d '\r' | tail -n +4; done |
    awk -F'\t' '{ split($3, part, "\\"); print part[1] == "CLSID" || part[1] == "Interface" ||
                   part[1] == "TypeLib" ? part[2] : part[1] }' | grep -v '^$\|^\.png$\|^Applications$' | sort -u)
  names+=$'\nVeskar.exe'
  local views=("")
  [ "$WINEARCH" = win64 ] && views=(/reg:64 /reg:32)
  for view in "${views[@]}"; do
    "$loader" reg export HKCR 'C:\classes.reg' $view /y >/dev/null 2>&1 || return 1
    if iconv -f UTF-16LE -t UTF-8 "$WINEPREFIX/drive_c/classes.reg" | tr -d '\r' | grep '^\[' |
       grep -F -i -f <(echo "$names"); then
      echo "(left in the registry view ${view:-of the system})"
      found=1
    fi
  done
  return $found
}
