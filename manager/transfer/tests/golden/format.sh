#!/bin/sh
# Formats the lince floppy as a 720 KB FAT12 diskette and copies the
# machine's files and the controller program onto it.
dev='/dev/sdc'
fine() { echo; printf 'Premere Invio per chiudere '; read risposta; exit "$1"; }
echo "Formattazione del dischetto $dev"
if mountpoint -q '/media/tecnico/FLOPPY'; then
  udisksctl unmount -b "$dev" || umount '/media/tecnico/FLOPPY' || fine 1
fi
case "$dev" in /dev/fd*) fdformat "$dev" || fine 1 ;; esac
mformat -i "$dev" -f 720 -v KN4 :: || fine 1
mbadblocks -i "$dev" :: || fine 1
for f in '/opt/kn4 suite/F_DISCO'/*; do
  [ -f "$f" ] && { mcopy -m -o -i "$dev" "$f" ::/ || fine 1; }
done
mcopy -m -o -i "$dev" '/opt/kn4 suite/p_lince/PLC1.EXE' ::/ || fine 1
mdir -i "$dev" ::/
udisksctl mount -b "$dev" >/dev/null 2>&1
fine 0
