#!/usr/bin/env bash
# Installs every Debian package the project needs. Idempotent: packages already
# present are skipped, so a second run costs one dpkg query.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64
  wine64 fonts-wine fonts-ipafont-gothic locales
  xvfb xdotool x11-apps imagemagick tzdata
  gnugo zip libpng-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

# Wine renders Japanese text and uses code page 932 only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi

# An SGF reader, a Go board and a GTP controller that no one here wrote (npm
# packages, pinned in sim/node), for the tests that check our records
# and our GTP engine with them. They go to build/node, never into the sources.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  echo "install-deps: installing nodejs npm"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq nodejs npm
fi
root=$(cd "$(dirname "$0")/.." && pwd)
node_tools=$root/build/node
if ! cmp -s "$root/sim/node/package-lock.json" "$node_tools/package-lock.json" ||
   [ ! -d "$node_tools/node_modules/@sabaki/sgf" ]; then
  echo "install-deps: installing the npm packages of sim/node into $node_tools"
  mkdir -p "$node_tools"
  cp "$root/sim/node/package.json" "$root/sim/node/package-lock.json" "$node_tools/"
  (cd "$node_tools" && npm ci --no-audit --no-fund --silent)
fi
