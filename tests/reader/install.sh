#!/usr/bin/env bash
# install.sh BUILD WORKDIR
# The README's install step into a fresh prefix: exactly the program, its
# window module, its launcher and the launcher's two icons are installed,
# building the program alone makes the icon (./run builds only the program),
# the launcher names the program, its icon and its window class, and
# desktop-file-validate accepts it (skipped, 77, where that tool is missing).
set -u
build=$1 work=$2
rm -rf "$work" && mkdir -p "$work"
if [ -f "$build/build.ninja" ] && ! ninja -C "$build" -t commands fernvale | grep -q "fernvale\.png"; then
    echo "building the program does not render the launcher's icon"; exit 1
fi
cmake --install "$build" --prefix "$work/prefix" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
expected="bin/fernvale
lib/fernvale/fernvale_window.so
share/applications/fernvale.desktop
share/icons/hicolor/48x48/apps/fernvale.png
share/icons/hicolor/scalable/apps/fernvale.svg"
got=$(cd "$work/prefix" && find . -type f | sed 's|^\./||' | sort)
[ "$got" = "$expected" ] || { echo "installed:"; echo "$got"; exit 1; }
desktop=$work/prefix/share/applications/fernvale.desktop
for line in Exec=fernvale Icon=fernvale StartupWMClass=fernvale; do
    grep -qx "$line" "$desktop" || { echo "the launcher lacks $line"; exit 1; }
done
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate missing"; exit 77; }
desktop-file-validate "$desktop" || exit 1
exit 0
