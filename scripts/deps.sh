#!/usr/bin/env bash
# Installs everything the build, the programs and the tests need (Debian 12).
# Only what is missing is installed: when every package is there already, the
# script ends at once, without apt-get and without root.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libgl-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libgtest-dev libgmock-dev libbenchmark-dev
  libproj-dev proj-bin gdal-bin direwolf socat
  p7zip-full unzip zip fonts-dejavu-core fontconfig
  python3 python3-ephem xvfb xauth
  gmt gmt-gshhg-high gmt-gshhg-full
  gpsd gpsd-clients
  pulseaudio pulseaudio-utils libasound2-plugins
  xdg-utils zlib1g-dev clang-format
  python3-xlib
)
# One look at dpkg's status for the whole list (a look per package takes seconds).
installed=" $(dpkg-query -W -f='${Package}=${db:Status-Status} ' "${packages[@]}" 2>/dev/null || true)"
missing=()
for p in "${packages[@]}"; do
  case "$installed" in
    *" $p=installed "*) ;;
    *) missing+=("$p") ;;
  esac
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "deps.sh: missing packages: ${missing[*]}" >&2
  echo "deps.sh: run as root (it calls apt-get)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# Another program installing at the same time holds one of apt's locks: it is
# waited for, up to ten minutes, instead of giving up at once. apt waits for the
# dpkg lock itself (DPkg::Lock::Timeout); a held lock of the package lists or of
# the download folder ends apt-get at once, so the command is tried again.
apt_get() {
  local errors waited=0 rc
  errors=$(mktemp)
  while :; do
    rc=0
    apt-get -o DPkg::Lock::Timeout=600 "$@" 2>"$errors" || rc=$?
    cat "$errors" >&2
    if [ "$rc" -eq 0 ] || ! grep -q 'Could not get lock' "$errors" || [ "$waited" -ge 600 ]; then
      rm -f "$errors"
      return "$rc"
    fi
    echo "deps.sh: another program holds apt's lock; waiting" >&2
    sleep 5
    waited=$((waited + 5))
  done
}
apt_get update
apt_get install -y --no-install-recommends "${missing[@]}"
