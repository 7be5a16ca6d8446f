#!/usr/bin/env bash
# Installs the Debian packages Harmoniform needs to build, test and benchmark.
# Idempotent and quick when everything is present already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  zlib1g-dev libpng-dev libcjson-dev libstb-dev
  libx11-dev libsndfile1-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libfftw3-dev  # benchmarks only: the yardstick for the FFT, never linked into the plug-in
  xvfb xauth binutils
  python3  # tests: the layout texts are what tools/layoutgen writes
  python3-numpy python3-scipy  # the reference-data scripts under tests/ (run with /usr/bin/python3)
  libxtst-dev  # the real-window tests click with the XTEST extension
  lv2-dev liblilv-dev lilv-utils serdi  # the LV2 bundle: headers, the lilv test host, lv2info/lv2apply, serdi
  sordi  # sord_validate: the bundle checked against the LV2 schemas
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq || true
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
