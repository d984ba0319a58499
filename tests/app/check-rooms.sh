#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Includes point down only: each folder may include the folders below it, never one above.
#   shell -> window -> console -> document -> (canvas, eos, model, widgets, ...)
set -euo pipefail
src="$1"
failed=0
check() { # folder, pattern of the includes it must not have
  local found
  found=$(grep -rnE "#include \"($2)/" "$src/$1" --include='*.cpp' --include='*.h' || true)
  if [ -n "$found" ]; then
    echo "$1 includes a folder above it:"; echo "$found"; failed=1
  fi
}
check app/document 'app/console|app/window|app/shell'
check app/console 'app/window|app/shell'
check app/window 'app/shell'
check widgets 'app|canvas|eos|model'
check canvas 'app|eos'
check eos 'app|canvas|widgets'
check model 'app|canvas|eos|widgets'
check sacn 'app|canvas|eos|widgets|model|osc|plist'
check levels 'app|canvas|widgets|model'
exit $failed
