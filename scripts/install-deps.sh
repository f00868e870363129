#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent: when everything is
# present it changes nothing and touches no network.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git python3
  clang libclang-rt-14-dev llvm
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  libcairo2-dev libpango1.0-dev librsvg2-dev libsdl2-dev
  fonts-comic-neue fonts-urw-base35 fonts-liberation2 fonts-droid-fallback
  espeak-ng librsvg2-bin xvfb xauth xdotool
  libgmime-3.0-dev libsodium-dev
  poppler-utils
  libcurl4-openssl-dev
  dovecot-core dovecot-imapd dovecot-lmtpd python3-aiosmtpd isync openssl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
