#!/usr/bin/env bash
# Creates the private Wine prefix of a build folder once; later runs reuse it.
# Needs DISPLAY set (a private Xvfb is fine).
set -euo pipefail
source "$(dirname "$0")/env.sh"
mkdir -p "$HOME_FOR_WINE"
export HOME="$HOME_FOR_WINE"
if [ ! -f "$WINEPREFIX/.panorel-ready" ]; then
  echo "prefix: creating $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
  REG='C:\windows\system32\reg.exe'
  # Without a window manager, hiding a managed window blocks: keep windows unmanaged.
  wine "$REG" add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A crashing test must fail, not wait for someone to close the crash dialog.
  wine "$REG" add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.panorel-ready"
fi

# The tests' FAT volume (PANOREL_FAT_DRIVE set, as the test script does): Wine reports a drive as
# FAT when the device behind it holds a FAT boot sector, and serves the drive's files from its
# folder. The folder is on tmpfs, a file system of its own, so that no other drive's root is
# found above it; the device is a small FAT image inside it. Without the variable the drive goes.
# Wine's mount manager reads the drives when it starts: a change ends the running server.
fat_link="$WINEPREFIX/dosdevices/f:"
changed=
if [ -n "${PANOREL_FAT_DRIVE:-}" ]; then
  fat_dir="/dev/shm/panorel-fat-$(printf '%s' "$WINEPREFIX" | md5sum | cut -c1-12)"
  if [ ! -f "$fat_dir/.device/fat.img" ] || [ "$(readlink "$fat_link" || true)" != "$fat_dir" ] ||
     [ "$(readlink "$fat_link:" || true)" != "$fat_dir/.device/fat.img" ]; then
    mkdir -p "$fat_dir/.device"
    mkfs=$(command -v mkfs.vfat || echo /usr/sbin/mkfs.vfat)
    [ -f "$fat_dir/.device/fat.img" ] || "$mkfs" -C -n PANORELFAT "$fat_dir/.device/fat.img" 1440 >/dev/null
    ln -sfn "$fat_dir" "$fat_link"
    ln -sfn "$fat_dir/.device/fat.img" "$fat_link:"
    changed=1
  fi
elif [ -L "$fat_link" ] || [ -L "$fat_link:" ]; then
  rm -f "$fat_link" "$fat_link:"
  changed=1
fi
if [ -n "$changed" ]; then
  wineserver -k >/dev/null 2>&1 || true
fi
