# The build suite's checks of the shipped files, beside hardened() and the
# second build in scripts/test: what each edition imports, and signing with
# scripts/sign. Sourced by scripts/test; each check ends 0 when it holds.

# Every function an edition imports is on scripts/lib/xp_imports.txt, the
# reviewed list of those Windows XP SP3 (XP x64 / Server 2003 SP2) has:
# one the list lacks would keep the program from starting there.
imports_on_xp() {  # <exe> <objdump>
  local imports unlisted
  imports=$("$2" -p "$1" | awk '/DLL Name:/ {dll = toupper($3); next}
    dll && /^\t[0-9a-f]+\t *[0-9]+ / {print dll "!" $3; next}
    /^ [0-9a-f]+\t/ {dll = ""}' | LC_ALL=C sort -u) || return 1
  unlisted=$(LC_ALL=C comm -23 <(echo "$imports") <(grep -v '^#' "$ROOT/scripts/lib/xp_imports.txt" | LC_ALL=C sort -u))
  [ -n "$unlisted" ] && echo "$1 imports what scripts/lib/xp_imports.txt does not list:" $unlisted
  # Nothing read would pass as nothing unlisted: the entry point's DLL must be there.
  [ -z "$unlisted" ] && grep -qx 'KERNEL32.DLL!GetModuleHandleA' <<<"$imports"
}

# An edition configured with the toolchain of the other machine type is
# refused by CMake, with the toolchain the edition needs. Also a mutant's
# killer (scripts/mutants, "build=editions_match_toolchains").
editions_match_toolchains() {  # <scratch folder>
  local mismatch said
  for mismatch in "i686 64" "x86_64 32"; do
    set -- "$1" $mismatch
    said=$(cmake -S "$ROOT" -B "$1" -DSETUP_BUILD_BITS="$3" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$2.cmake" 2>&1)
    rm -rf "$1"
    grep -q "SETUP_BUILD_BITS=$3, but this toolchain builds" <<<"$said" || return 1
  done
}

# A throwaway self-signed code-signing certificate, made now, in a .p12
# with the password "throwaway".
throwaway_certificate() {  # <folder>
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=SetUp test signer" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$1/key.pem" -out "$1/cert.pem" 2>/dev/null &&
    openssl pkcs12 -export -in "$1/cert.pem" -inkey "$1/key.pem" -out "$1/cert.p12" -passout pass:throwaway
}

# scripts/sign signs a copy of <exe>: the signature verifies against the
# certificate, is SHA-256 and names the file description of res/setup.rc.
signs_and_verifies() {  # <exe> <folder>
  local name
  name=$(sed -n 's/^ *VALUE "FileDescription", "\(.*\)"\r\?$/\1/p' "$ROOT/res/setup.rc")
  cp "$1" "$2/SetUp.exe" && SETUP_SIGN_PASSWORD=throwaway "$ROOT/scripts/sign" "$2/cert.p12" "$2/SetUp.exe" &&
    osslsigncode verify -CAfile "$2/cert.pem" -in "$2/SetUp.exe" >"$2/verify.log" 2>&1 &&
    grep -q "^Message digest algorithm *: SHA256" "$2/verify.log" &&
    grep -qF "Text description: $name" "$2/verify.log" && ! cmp -s "$1" "$2/SetUp.exe"
}

# A wrong password, and a time-stamp server that does not answer, each make
# scripts/sign fail and leave the file byte for byte as it was (what it said
# is in <folder>/refused.log).
refusals_change_nothing() {  # <exe> <folder>
  cp "$1" "$2/refused.exe" &&
    ! SETUP_SIGN_PASSWORD=wrong "$ROOT/scripts/sign" "$2/cert.p12" "$2/refused.exe" 2>"$2/refused.log" &&
    cmp "$1" "$2/refused.exe" && grep -q "SETUP_SIGN_PASSWORD is not its password" "$2/refused.log" &&
    ! SETUP_SIGN_PASSWORD=throwaway SETUP_SIGN_TIMESTAMP_URL=http://127.0.0.1:1/ \
      "$ROOT/scripts/sign" "$2/cert.p12" "$2/refused.exe" 2>>"$2/refused.log" && cmp "$1" "$2/refused.exe"
}

# Removing the signature gives back the unsigned build byte for byte: the
# linker writes the PE checksum that osslsigncode computes again on removal,
# and the image ends on a 512-byte boundary, so no padding stays behind.
unsigned_again() {  # <exe> <folder>
  rm -f "$2/unsigned.exe"
  osslsigncode remove-signature -in "$2/SetUp.exe" -out "$2/unsigned.exe" >/dev/null && cmp "$1" "$2/unsigned.exe"
}
