#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need; skips what is there.
# Usage: scripts/install-deps.sh [run|test|package|ci]
set -euo pipefail

profile=${1:-test}
# qt6-translations-l10n: the toolkit's own dialogs and menus in Russian; qt6-wayland: a Wayland
# session without XWayland still runs the program; libgif-dev: writing the stroke-order pictures.
packages=(build-essential cmake qt6-base-dev qt6-translations-l10n qt6-wayland libgif-dev
    fonts-ipafont-mincho fonts-ipafont-gothic fonts-liberation)
# The end-to-end test: a virtual X server, a window manager, mouse and window control, and a
# screenshot when it fails.
e2e=(xvfb openbox xdotool wmctrl x11-utils imagemagick)
# The Debian package: its shared-library dependencies, and the checks of the package and of its
# desktop files.
package=(dpkg-dev lintian desktop-file-utils appstream)
case "$profile" in
run) ;;
package) packages+=("${package[@]}") ;;
test) packages+=(libgtest-dev libgmock-dev "${e2e[@]}") ;;
ci) packages+=(libgtest-dev libgmock-dev "${e2e[@]}" "${package[@]}" clang libclang-rt-14-dev libfuzzer-14-dev libbenchmark-dev) ;;
*) echo "unknown profile: $profile" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
