#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The shared-mime-info entry builds into a database that knows the type, its
# glob and its icon, without a word of complaint from update-mime-database.
# Usage: check-mime.sh UPDATE_MIME_DATABASE MIME_XML
set -euo pipefail
update=$1
source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/mime/packages"
cp "$source" "$scratch/mime/packages/org.pexlora.Pexlora.xml"
# Run with the scratch folder as the data home, so that the only words are complaints.
complaints=$(XDG_DATA_HOME="$scratch" "$update" "$scratch/mime" 2>&1 >/dev/null || echo "update-mime-database failed")
if [ -n "$complaints" ]; then
    echo "$complaints" >&2
    exit 1
fi
grep -qx '50:application/x-pexlora:\*\.pexlora' "$scratch/mime/globs2" || { echo "no *.pexlora glob" >&2; exit 1; }
grep -qx 'application/x-pexlora:application-x-pexlora' "$scratch/mime/generic-icons" || { echo "no icon" >&2; exit 1; }
test -f "$scratch/mime/application/x-pexlora.xml" || { echo "no type" >&2; exit 1; }
