#!/bin/sh
# Installs the package into a fresh Debian 12 (a debootstrap'd chroot), then
# runs the installed program there as a normal user under Xvfb with
# tools/drive-installed.sh. Needs root and the network (deb.debian.org).
# Usage: sudo tools/check-deb-in-chroot.sh [chroot folder]   (after make package)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-/var/tmp/zelmora-bookworm}
deb=$(ls "$top"/build/package/zelmora_*.deb)
user=zel_d

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
mounted=
cleanup() { for m in $mounted; do umount "$root$m" 2>/dev/null || umount -l "$root$m"; done; }
trap cleanup EXIT
for m in /proc /dev /dev/pts /dev/shm; do
  mountpoint -q "$root$m" || { mount --bind "$m" "$root$m"; mounted="$m $mounted"; }
done
cp "$deb" "$root/tmp/"
cp "$top/tools/drive-installed.sh" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
in_root apt-get update -qq
# The package with what apt takes from its dependencies and recommendations,
# plus what the check itself needs (an X server and xdotool).
in_root sh -c "! dpkg -s zelmora >/dev/null 2>&1 || apt-get purge -y -q zelmora"
in_root sh -c "DEBIAN_FRONTEND=noninteractive apt-get install -y -q /tmp/$(basename "$deb") xvfb xauth xdotool procps"
in_root dpkg -s zelmora | sed -n '/^Version/p;/^Depends/p;/^Recommends/p'
in_root sh -c "id -u $user >/dev/null 2>&1 || useradd -m $user; rm -rf /home/$user/Documents /home/$user/.config"
# The web engine's sandbox needs user namespaces, which a chroot inside a
# container may not have; the check is about the package, not the sandbox.
chroot "$root" /usr/sbin/runuser -u "$user" -- /usr/bin/env -i PATH=/usr/bin:/bin HOME=/home/$user \
  LANG=C.UTF-8 QTWEBENGINE_DISABLE_SANDBOX=1 \
  xvfb-run -a -s "-screen 0 1280x1024x24" /tmp/drive-installed.sh /usr/bin/zelmora
