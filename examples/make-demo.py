#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes demo.pexlora: a small but believable rig, the layout `make run` opens.

Run it again after changing the rig; the IDs are derived from the channel
numbers, so the file only changes where the rig does.
"""
import plistlib
import sys
import uuid
from pathlib import Path

NAMESPACE = uuid.UUID("6f1d2a3e-5b7c-4d8e-9f00-706578c0ffee")


def cell(col, row, number):
    return {
        "id": str(uuid.uuid5(NAMESPACE, str(number))).upper(),
        "position": {"col": col, "row": row},
        "numberString": str(number),
    }


def rig():
    cells = []
    # Sixteen columns, centred on the centre line between columns 7 and 8, so
    # the whole rig shows in a new window.
    # Front light over the stage edge, 1 to 12.
    cells += [cell(2 + i, 1, 1 + i) for i in range(12)]
    # Back light, 21 to 32, split by the centre-line gap.
    cells += [cell(1 + i, 3, 21 + i) for i in range(6)]
    cells += [cell(9 + i, 3, 27 + i) for i in range(6)]
    # Side booms, four units each, stage left and stage right.
    cells += [cell(0, 1 + i, 41 + i) for i in range(4)]
    cells += [cell(15, 1 + i, 45 + i) for i in range(4)]
    # Cyc lights along the back wall, 101 to 110.
    cells += [cell(3 + i, 6, 101 + i) for i in range(10)]
    return {
        "elements": cells,
        "zoomScale": 1.0,
        "panOffsetWidth": 30.0,
        "panOffsetHeight": 30.0,
    }


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("demo.pexlora")
    target.write_bytes(plistlib.dumps(rig(), fmt=plistlib.FMT_BINARY, sort_keys=True))


if __name__ == "__main__":
    main()
