#!/usr/bin/env bash
# A drive that runs out of room midway, for the installer under Wine: a tmpfs that holds only a
# few files and folders (inodes), mounted in place of a folder of the Wine prefix's drive C:.
# Its space stays ample, so the installer's check of the free space lets the run start, and the
# run fails when it makes a file the drive has no inode left for. Needs root; unmounts the drive
# and removes its link however the command ends.
#   full-drive.sh WINE_DIR FOLDER INODES COMMAND...
# FOLDER: the folder below drive_c that becomes the drive (lumi/full); INODES: the files and
# folders the drive holds, its own root folder included. Exit code 77 (skipped) where no drive
# can be mounted, and from the command.
set -uo pipefail
wine_dir=$1 folder=$2 inodes=$3
shift 3

if [[ -f "$wine_dir/unusable" ]]; then
  echo "skipped: $(cat "$wine_dir/unusable")"
  exit 77
fi
if [[ $(id -u) -ne 0 ]]; then
  echo "skipped: mounting a small drive needs root"
  exit 77
fi
mount_point=$(mktemp -d)
link=$wine_dir/prefix/drive_c/$folder
cleanup() {
  rm -f "$link"
  umount "$mount_point" 2>/dev/null
  rmdir "$mount_point" 2>/dev/null
}
trap cleanup EXIT
if ! mount -t tmpfs -o "size=16m,nr_inodes=$inodes,mode=0777" tmpfs "$mount_point"; then
  echo "skipped: this host cannot mount a tmpfs"
  exit 77
fi
mkdir -p "$(dirname "$link")"
rm -rf "$link"
ln -s "$mount_point" "$link"
"$@"
