#!/bin/sh
# Installs every Debian 12 package that building, testing and running Lumora needs.
# Safe to run again: apt-get skips what is already there.
set -eu

if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi

export DEBIAN_FRONTEND=noninteractive

PACKAGES="
    cmake ninja-build g++ pkg-config clang-format
    libgtest-dev libgmock-dev libbenchmark-dev
    libpugixml-dev libcli11-dev libvips-dev
    qt6-base-dev qt6-multimedia-dev libqt6svg6-dev qt6-tools-dev-tools
    vcdimager cdrdao mjpegtools ffmpeg
    xvfb xauth desktop-file-utils appstream libxml2-utils shared-mime-info
"

$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $PACKAGES
