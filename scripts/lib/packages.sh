# Debian packages the build and the tests need, installed when missing, and
# the zh_CN.UTF-8 locale that Wine converts command lines and names through.
# Sourced by scripts/test, scripts/demo and scripts/sign.

# The win32 thread model's compilers: the posix model's runtime imports
# functions Windows XP lacks. osslsigncode and openssl sign and check a
# signature (scripts/sign, the build suite).
SETUP_PACKAGES=(
  cmake ninja-build g++ python3 clang libclang-rt-14-dev
  libgtest-dev googletest
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  wine wine32 wine64
  xvfb x11-utils locales fonts-wqy-microhei fonts-wine imagemagick
  osslsigncode openssl
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@"; else
    echo "need root for: $*" >&2; return 1; fi
}

install_missing() {  # <package>...
  local missing=() package
  for package in "$@"; do
    # wine32 is the i386 package; the rest are native.
    local query=$package
    [ "$package" = wine32 ] && query=wine32:i386
    dpkg-query -W -f='${Status}' "$query" 2>/dev/null | grep -q "install ok installed" || missing+=("$query")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "installing: ${missing[*]}"
    if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

ensure_packages() {
  install_missing "${SETUP_PACKAGES[@]}" && ensure_locale
}

ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}
