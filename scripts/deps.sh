#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config clang clang-format libgtest-dev googletest
          libbenchmark-dev libboost-math-dev qt6-base-dev libgl1-mesa-dev poppler-utils
          fonts-liberation xvfb xauth dpkg-dev file desktop-file-utils appstream help2man lintian
          devscripts libsqlite3-dev libxxhash-dev libsodium-dev libcups2-dev
          libpq-dev postgresql-15 postgresql-client-15 qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
          libcpp-httplib-dev r-base-core)
# The inbox's tests read HL7 messages built and sent by another HL7 library.
packages+=(python3-hl7)
# The web view's browser test drives Debian's Chromium (node and npm, when present, fetch its driver).
packages+=(chromium)
# The web view's test reads its listening queue with ss.
packages+=(iproute2)
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [[ $(id -u) -eq 0 ]] || SUDO="sudo"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
