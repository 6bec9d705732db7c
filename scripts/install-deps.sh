#!/usr/bin/env bash
# Installs the Debian 12 packages Sollumen needs to build, test and run.
# Idempotent: packages already installed are skipped, and nothing is done
# when everything is present.
set -euo pipefail

packages=(
  build-essential g++ cmake pkg-config git python3
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins libgl-dev
  libpng-dev libsqlite3-dev sqlite3 zlib1g-dev poppler-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation xvfb xauth
  # the Debian package: icons drawn from the SVG, manual pages, packaging and
  # its checks (lintian, the desktop's validators, the document type)
  librsvg2-bin help2man dpkg-dev fakeroot file lintian desktop-file-utils appstream
  shared-mime-info libglib2.0-bin
  # scripts/make-images.sh: the window's picture on a virtual display
  openbox xdotool x11-utils imagemagick
  # minor bodies pulled by the planets: Boost.Odeint (header-only); the Swiss
  # Ephemeris and its asteroid files as the benchmarks' independent reference
  libboost-dev libswe-dev swe-standard-data
  # films: FFmpeg's libraries (and the H.264 and VP9 encoders they use)
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
