# Shared by the scripts: where things are and which build runs under Wine.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The deliverables are 32-bit. Their tests run 32-bit too where the machine
# can run 32-bit Wine; a kernel without 32-bit support (ia32 emulation off)
# cannot, and there the same sources are tested as a 64-bit build.
test_arch() {
  if [ -n "${TOVRIN_TEST_ARCH:-}" ]; then
    echo "$TOVRIN_TEST_ARCH"
  elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}

# build_tree ARCH TESTS(ON|OFF): configures and builds build/ARCH.
build_tree() {
  local arch=$1 tests=$2
  cmake -S "$root" -B "$root/build/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" \
    -DTOVRIN_ARCH="$arch" -DTOVRIN_TESTS="$tests" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/$arch" -j "$(nproc)" -- --no-print-directory
}

# Builds the 32-bit deliverables with their tests and benchmarks, which
# always compile even where they cannot run, and the 64-bit library of the
# x64 package: with its tests where 32-bit Wine cannot start and the 64-bit
# tests run instead, else alone.
build_all() {
  local arch
  arch=$(test_arch)
  build_tree i686 ON
  if [ "$arch" = i686 ]; then build_tree x86_64 OFF; else build_tree "$arch" ON; fi
  "$root/scripts/check-imports" "$root/build/i686/bin"/{Veskar.exe,Ormelin0105.dll,tovrinsupport0100.dll,tovrinsupportfbe0100.dll}
}
