#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a built Debian package: lintian finds no error in it, and it installs
# with apt into a throwaway root — a copy-on-write overlay of this machine, in a
# mount namespace of its own — where the installed program names its version,
# finds its help page and its desktop entry. Where the machine allows no such
# root (not root, no overlay mounts), the install is skipped with the reason.
# Usage: scripts/check-package.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "${1:?usage: $0 PACKAGE.deb}")

echo "== dpkg-deb --info"
dpkg-deb --field "$deb"

echo "== lintian"
lintian_output=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v "^running with root privileges" || true)
echo "${lintian_output:-(nothing to report)}"
if grep -q '^E: ' <<<"$lintian_output"; then
    echo "check-package: lintian reports errors" >&2
    exit 1
fi

echo "== install into a throwaway root"
skip() { echo "check-package: install skipped: $*"; exit 0; }
[ "$(id -u)" = 0 ] || skip "needs root for a mount namespace and apt"
command -v unshare >/dev/null || skip "unshare is missing"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/upper" "$scratch/work" "$scratch/root"
cp "$deb" "$scratch/upper/"
# Everything below runs in a private mount namespace: the overlay, and what apt
# writes into it, vanish with it; this machine's own root is only read.
unshare --mount --propagation private bash -euo pipefail -c '
    scratch=$1 deb=$2 name=$(basename "$2")
    mount -t overlay overlay -o "lowerdir=/,upperdir=$scratch/upper,workdir=$scratch/work" "$scratch/root" \
        2>/dev/null || { echo "check-package: install skipped: no overlay mount of / here"; exit 0; }
    for d in proc sys dev; do mount --rbind "/$d" "$scratch/root/$d"; done
    mount -t tmpfs tmpfs "$scratch/root/tmp"
    cp "$deb" "$scratch/root/tmp/"
    cd / && chroot "$scratch/root" bash -euo pipefail -c "
        cd /
        apt-get remove -y -qq pexlora >/dev/null 2>&1 || true
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/$name >/dev/null
        dpkg -s pexlora | grep -q \"^Status: install ok installed\"
        pexlora --version
        pexlora --help | grep -x \"The help page: /usr/share/pexlora/help.html\"
        test -f /usr/share/applications/org.pexlora.Pexlora.desktop
        desktop-file-validate /usr/share/applications/org.pexlora.Pexlora.desktop
        grep -q \"^Exec=pexlora %F\$\" /usr/share/applications/org.pexlora.Pexlora.desktop
        # The first window, painted offscreen, as the menu entry would start it.
        export XDG_RUNTIME_DIR=\$(mktemp -d) XDG_DATA_HOME=\$(mktemp -d) XDG_CONFIG_HOME=\$(mktemp -d)
        QT_QPA_PLATFORM=offscreen PEXLORA_EXIT_WHEN_SHOWN=1 timeout 60 pexlora
        echo \"installed, started and ended cleanly\"
    "
' check-package "$scratch" "$deb"
