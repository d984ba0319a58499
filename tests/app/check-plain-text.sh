#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every label and message box of the program shows outside text as text: they are
# made only as PlainLabel (and its kin) and by plainMessageBox, never as a bare
# QLabel or QMessageBox, which would read a console's reply or a file's name as markup.
set -euo pipefail
src="$1"
found=$(grep -rnE 'new QLabel\b|\bQLabel\(|make_unique<QMessageBox>|new QMessageBox\b|\bQMessageBox [a-z]+\(|QMessageBox::(information|warning|critical|question|about)\(|QLabel::(setText|setTextFormat)\(' \
  "$src" --include='*.cpp' --include='*.h' | grep -v '^'"$src"'/widgets/Plain' || true)
if [ -n "$found" ]; then
  echo "A label or message box that reads markup; use PlainLabel or plainMessageBox:"
  echo "$found"
  exit 1
fi
echo "every label and message box is plain"
