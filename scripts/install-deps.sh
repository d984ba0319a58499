#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages the build, the tests and the benchmarks need (and,
# with the argument "package", those of make package),
# only when one of them is missing, so that a machine that has them all does nothing.
# A bare Debian 12 has neither make nor git; as root it has no sudo either.
set -euo pipefail

packages=(
  make git clang-format cmake ninja-build ccache g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-svg-dev libgl-dev libicu-dev libboost-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  liblo-tools liblo-dev libplist-utils python3
  # make run: native Wayland sessions, and a way to open the help page in the browser
  qt6-wayland xdg-utils
  # make test: the desktop's validators of the desktop entry, the AppStream metadata and the
  # MIME type, and Qt's translation tools for the check of the marked texts
  desktop-file-utils appstream shared-mime-info qt6-l10n-tools
)
# make package (scripts/install-deps.sh package): the package's dependencies and its check
if [ "${1:-}" = package ]; then
  packages+=(dpkg-dev file lintian)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# The tests' sACN peer is an npm package, run by Node. A machine with a Node of its own
# (and its npm) keeps it: Debian's npm would fight over the same files.
if ! command -v npm >/dev/null; then
  missing+=(nodejs npm)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" != 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: run as root, or install sudo" >&2; exit 1; }
    sudo=sudo
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The npm peers, at the versions the lock file names, once per clone.
peers="$(dirname "$0")/../tests/peers"
if [ ! -d "$peers/node_modules/sacn" ]; then
  npm ci --prefix "$peers" --no-audit --no-fund --loglevel=error
fi
