# Shared by scripts/test and scripts/mutants: building the Windows programs,
# and the Wine suites run as an ordinary user.

# windows_build <folder> <toolchain> <edition bits> <tests ON|OFF> [targets]:
# a Release build with MinGW-w64 (toolchain i686 or x86_64), $JOBS jobs.
windows_build() {
  local folder=$1 toolchain=$2 bits=$3 tests=$4
  shift 4
  cmake -S "$ROOT" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSETUP_BUILD_BITS="$bits" \
    -DSETUP_TESTS="$tests" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$toolchain.cmake" --no-warn-unused-cli >/dev/null &&
    ninja -C "$folder" -j "${JOBS:-2}" "$@"
}

# run_wine_suites <root> <test build> <build> <results> [suite=filter ...]:
# scripts/lib/wine_suites.sh as an ordinary user (run as root: setuptest,
# made when missing), for scripts/test and scripts/mutants: as root, Wine
# ignores read-only files and folders, which the program and its tests rely
# on. It leaves that user a read-only payload file owned by root in
# <build>/foreign, whose bit the user cannot clear, as on a CD (the unit
# tests fail without it): the one step that asks for root (or sudo) besides
# installing packages. SETUP_QUICK and SETUP_KEEP pass on.
run_wine_suites() {
  local root=$1 tests=$2 build=$3 results=$4 as=()
  shift 4
  mkdir -p "$build/wine" "$results"
  as_root sh -c "mkdir -p '$build/foreign/Data' && echo foreign >'$build/foreign/Data/root.dll' &&
    chown -R root:root '$build/foreign' && chmod 444 '$build/foreign/Data/root.dll'" || return 1
  if [ "$(id -u)" -eq 0 ]; then
    id setuptest >/dev/null 2>&1 || useradd --create-home --home-dir /var/tmp/setuptest --shell /bin/bash setuptest
    as=(runuser -u setuptest --)
    chown -R setuptest "$build/wine" "$results"
    chmod -R a+rX "$build" 2>/dev/null
  fi
  "${as[@]}" env HOME="$build/wine/home" SETUP_QUICK="${SETUP_QUICK:-0}" SETUP_KEEP="${SETUP_KEEP:-0}" \
    SETUP_SWEEP_FIRST_VIOLATION="${SETUP_SWEEP_FIRST_VIOLATION:-}" SETUP_FOREIGN_PAYLOAD="$(wine_path "$build/foreign")" \
    bash "$root/scripts/lib/wine_suites.sh" "$root" "$tests" "$build" "$results" "$@"
}
