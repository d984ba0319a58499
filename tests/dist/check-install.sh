#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and runs the installed program there:
# it names its version and finds the help page through the installed layout
# (the build tree's copy beside the built program is not there).
# Usage: check-install.sh CMAKE BUILD_FOLDER BINDIR DATADIR VERSION
set -euo pipefail
cmake=$1 build=$2 bindir=$3 datadir=$4 version=$5
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
program="$prefix/$bindir/pexlora"
fail() { echo "check-install: $*" >&2; exit 1; }

[ "$("$program" --version)" = "Pexlora $version" ] || fail "--version says: $("$program" --version)"
help="$prefix/$datadir/pexlora/help.html"
"$program" --help | grep -qxF "The help page: $help" || fail "--help names no help page at $help: $("$program" --help)"
for file in \
    "$datadir/applications/org.pexlora.Pexlora.desktop" \
    "$datadir/metainfo/org.pexlora.Pexlora.metainfo.xml" \
    "$datadir/mime/packages/org.pexlora.Pexlora.xml" \
    "$datadir/icons/hicolor/scalable/apps/org.pexlora.Pexlora.svg" \
    "$datadir/doc/pexlora/copyright" \
    "$datadir/man/man1/pexlora.1.gz" \
    "$bindir/pexlora-console-sim"; do
    [ -e "$prefix/$file" ] || fail "$file is not installed"
done
