#!/bin/sh
# Builds the Debian package: a release build of the program in the system
# layout (preset "package"), installed into a staging root and packed with
# dpkg-deb. Writes build/package/zelmora_<version>_<arch>.deb.
# Usage: tools/build-deb.sh   (make package)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
out=$top/build/package
root=$out/root

# Debian's hardening flags (stack protector, fortify, full RELRO, PIE).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
# A cache from an earlier configure keeps its flags; the package always
# starts from the ones above.
rm -f build/package-build/CMakeCache.txt
cmake --preset package >/dev/null
jobs=${JOBS:-$(nproc)}
cmake --build --preset package -j "$jobs"

config=build/package-build/generated/build_config.h
version=$(sed -n 's/^#define ZELMORA_VERSION "\(.*\)"$/\1/p' "$config")
homepage=$(sed -n 's/^#define ZELMORA_HOMEPAGE_URL "\(.*\)"$/\1/p' "$config")
arch=$(dpkg --print-architecture)
rm -rf "$root" "$out"/zelmora_*.deb
mkdir -p "$root/DEBIAN"
DESTDIR=$root cmake --install build/package-build --strip >/dev/null

# Files 0644, folders and programs 0755, whatever the umask of the build.
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root/usr/bin/zelmora"

# The libraries the program and its preview module link, as package names
# with versions (dpkg-shlibdeps reads the shlibs of the installed packages).
module=$(find "$root/usr/lib" -name 'zelmora_preview.so')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debian"
printf 'Source: zelmora\n\nPackage: zelmora\nArchitecture: any\n' >"$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O "$root/usr/bin/zelmora" "$module" 2>/dev/null \
          | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "dpkg-shlibdeps gave no dependencies" >&2; exit 1; }

size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@DEPENDS@/$depends/" -e "s/@SIZE@/$size/" \
    -e "s|@HOMEPAGE@|$homepage|" \
    data/debian-control.in >"$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

deb=$out/zelmora_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
