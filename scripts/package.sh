#!/usr/bin/env bash
# Builds the Debian package build-package/sorabi_<version>_<arch>.deb (Release, Debian's
# hardening flags, stripped) with CPack, then checks it: its contents, its desktop entry and
# AppStream file, and lintian (errors fail the script; warnings are shown).
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package

export DEB_BUILD_MAINT_OPTIONS=hardening=+bindnow
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
rm -f build-package/sorabi_*.deb
scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release -DSORABI_BUILD_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr
(cd build-package && cpack -G DEB >/dev/null)

version=$(sed -n 's/^project(Sorabi VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build-package/sorabi_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "package.sh: $deb was not made" >&2; exit 1; }

# The files a user needs, in the package.
contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/sorabi ./usr/bin/sorabi-pics ./usr/share/sorabi/sample.sb \
    ./usr/share/sorabi/kanjivg-strokes.qz ./usr/share/applications/org.sorabi.Sorabi.desktop \
    ./usr/share/metainfo/org.sorabi.Sorabi.metainfo.xml \
    ./usr/share/mime/packages/org.sorabi.Sorabi.xml ./usr/share/doc/sorabi/copyright \
    ./usr/share/doc/sorabi/changelog.gz ./usr/share/man/man1/sorabi.1.gz \
    ./usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/org.sorabi.Sorabi.png; do
    grep -q " $path\$" <<<"$contents" || { echo "package.sh: $path is missing from $deb" >&2; exit 1; }
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/org.sorabi.Sorabi.desktop"
appstreamcli validate --no-net --pedantic "$unpacked/usr/share/metainfo/org.sorabi.Sorabi.metainfo.xml" >/dev/null
# lintian refuses to run as root unless told; errors fail, warnings and notes are shown.
lintian --allow-root --fail-on error --tag-display-limit 0 "$deb" || {
    echo "package.sh: lintian found errors" >&2
    exit 1
}
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Section\|Depends\|Recommends\|Installed-Size\):/&/p'
echo "package.sh: $deb"
