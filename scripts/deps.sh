#!/usr/bin/env bash
# Installs everything the build, the programs and the tests need (Debian 12, as root).
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "deps.sh: run as root (it calls apt-get)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config \
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libgl-dev \
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libproj-dev proj-bin gdal-bin direwolf socat \
  p7zip-full unzip zip fonts-dejavu-core fontconfig \
  python3 python3-ephem xvfb xauth \
  gmt gmt-gshhg-high gmt-gshhg-full \
  gpsd gpsd-clients \
  pulseaudio pulseaudio-utils libasound2-plugins
