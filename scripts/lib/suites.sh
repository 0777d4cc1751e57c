# Shared by scripts/test and scripts/mutants: building the Windows programs,
# and the Wine suites run as an ordinary user.

# windows_build <folder> <toolchain> <edition bits> <tests ON|OFF> [targets]:
# a Release build with MinGW-w64 (toolchain i686 or x86_64), $JOBS jobs. The
# 32-bit edition with the x86_64 toolchain is the tests' stand-in where
# 32-bit programs do not run.
windows_build() {
  local folder=$1 toolchain=$2 bits=$3 tests=$4 standin=OFF
  shift 4
  [ "$toolchain-$bits" = x86_64-32 ] && standin=ON
  cmake -S "$ROOT" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSETUP_BUILD_BITS="$bits" -DSETUP_STAND_IN=$standin \
    -DSETUP_TESTS="$tests" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$toolchain.cmake" --no-warn-unused-cli >/dev/null &&
    ninja -C "$folder" -j "${JOBS:-2}" "$@"
}

# run_wine_suites <root> <test build> <build> <results> [suite=filter ...]:
# scripts/lib/wine_suites.sh as an ordinary user (run as root: setuptest,
# made when missing), for scripts/test and scripts/mutants: as root, Wine
# ignores read-only files and folders, which the program and its tests rely
# on. It leaves that user, in <build>/foreign, files owned by root that the
# user cannot change, as on a CD or in Program Files without administrator
# rights: a read-only payload file, whose bit the user cannot clear (the unit
# tests fail without it), and the AutoCAD folders the prefixes show as
# C:\e2e-locked: AutoCAD 2014 whole, and AutoCAD 2008 with an older
# install's support files, but for its Fonts and Drv. The one step that asks
# for root (or sudo) besides installing packages. SETUP_QUICK and SETUP_KEEP
# pass on.
run_wine_suites() {
  local root=$1 tests=$2 build=$3 results=$4 as=() user
  shift 4
  mkdir -p "$build/wine" "$results"
  user=$(id -un)
  if [ "$(id -u)" -eq 0 ]; then
    id setuptest >/dev/null 2>&1 || useradd --create-home --home-dir /var/tmp/setuptest --shell /bin/bash setuptest
    as=(runuser -u setuptest --) user=setuptest
  fi
  local foreign=$build/foreign locked=$build/foreign/locked
  as_root sh -c "rm -rf '$foreign' && mkdir -p '$foreign/Data' '$locked/AutoCAD 2014/Fonts' '$locked/AutoCAD 2008/Fonts' '$locked/AutoCAD 2008/Drv' &&
    echo foreign >'$foreign/Data/root.dll' && echo \"AutoCAD's own\" >'$locked/AutoCAD 2008/acad.exe' &&
    echo \"an older install's\" | tee '$locked/AutoCAD 2008/itextsharp.dll' '$locked/AutoCAD 2008/ACAD2007P.dll' >/dev/null &&
    chown -R root:root '$foreign' && chmod -R a-w,a+rX '$foreign' &&
    chown '$user' '$locked/AutoCAD 2008/Fonts' '$locked/AutoCAD 2008/Drv' && chmod u+w '$locked/AutoCAD 2008/Fonts' '$locked/AutoCAD 2008/Drv'" || return 1
  if [ "$(id -u)" -eq 0 ]; then
    chown -R setuptest "$build/wine" "$results"
    chmod -R a+rX "$build" 2>/dev/null
  fi
  "${as[@]}" env HOME="$build/wine/home" SETUP_QUICK="${SETUP_QUICK:-0}" SETUP_KEEP="${SETUP_KEEP:-0}" \
    SETUP_SWEEP_FIRST_VIOLATION="${SETUP_SWEEP_FIRST_VIOLATION:-}" SETUP_FOREIGN_PAYLOAD="$(wine_path "$foreign")" \
    bash "$root/scripts/lib/wine_suites.sh" "$root" "$tests" "$build" "$results" "$@"
}
