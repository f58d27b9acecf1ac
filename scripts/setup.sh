#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Belvardino needs to build, run and test, only those missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-declarative-dev qt6-declarative-dev-tools libqt6sql6-sqlite
    qml6-module-qtqml qml6-module-qtqml-workerscript qml6-module-qtquick
    qml6-module-qtquick-controls qml6-module-qtquick-layouts qml6-module-qtquick-templates
    qml6-module-qtquick-window qml6-module-qtquick-dialogs qml6-module-qttest
    qt6-translations-l10n libgl-dev libsodium-dev libsqlite3-dev sqlite3 ccache strace
    fonts-noto-core fonts-noto-color-emoji fonts-dejavu-core poppler-utils python3 clang-format
    hledger
    # The shared server: Qt's driver, a server the tests start on their own, the secret store.
    postgresql libqt6sql6-psql qtkeychain-qt6-dev libqt6keychain1
    # A desktop secret store of the tests' own: a session bus and the GNOME keyring.
    dbus-daemon gnome-keyring
)

# Callers may name more (the benchmarks' X server).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
