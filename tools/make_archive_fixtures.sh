#!/usr/bin/env bash
# Makes the archive fixtures of the archiver library tests with Debian's archivers
# (jlha-utils, zip, gcab, arj, tar, gzip, bzip2): one small package, packed once per
# decoder and header reader: LHA -lh0- in level 0, -lh5- in level 1 and -lh7- (the
# -lh6- decoder with a larger window) in level 2; ZIP deflated and stored; CAB with
# MSZIP and stored; ARJ stored, method 1 (methods 2 and 3 share its decoder) and
# method 4; tar plain, gzip and bzip2. Stored archives leave out the long file, so each
# archive stays a few KB. Under drop/, a loadable character package (a definition in a
# folder beside its 8 x 5 CG, kept unpacked in drop/sub) as LHA, ZIP, CAB, ARJ and tgz,
# for the window's drop; shift-jis.zip names its definition in Shift-JIS. The output
# under tests/fixtures/archives is committed, so the tests need no archiver.
set -eu

out=$(cd "$(dirname "$0")/.." && pwd)/tests/fixtures/archives
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/package/sub"
cd "$work/package"
seq 1 60 | sed 's/^/readme line /' > readme.txt
# Long enough to wrap the 26 KB ARJ dictionary, repetitive enough to pack to a few KB.
i=0
while [ $i -lt 1500 ]; do
  echo "frame $((i % 37)) pattern $((i % 11)) wait $((i % 5))"
  i=$((i + 1))
done > long.txt
printf '#CHARNAME test\r\n#CHARBMP sub\\cg.bmp\r\n' > sub/chara.chP
touch -d '2024-01-02 03:04:05' readme.txt long.txt sub/chara.chP sub

rm -rf "$out"
mkdir -p "$out"
cp -rp "$work/package" "$out/package"

lha -a0zq "$out/lh0_level0.lzh" readme.txt sub/chara.chP
lha -a1o5q "$out/lh5_level1.lzh" readme.txt long.txt sub/chara.chP
lha -a2o7q "$out/lh7_level2.lzh" readme.txt long.txt sub/chara.chP

zip -q -X -r "$out/deflated.zip" readme.txt long.txt sub
zip -q -X -0 -r "$out/stored.zip" readme.txt sub

gcab -c -z "$out/mszip.cab" readme.txt long.txt sub/chara.chP
gcab -c "$out/stored.cab" readme.txt sub/chara.chP

arj a -m0 -y "$out/method0.arj" readme.txt sub/chara.chP > /dev/null
for method in 1 4; do
  arj a -m$method -y "$out/method$method.arj" readme.txt long.txt sub/chara.chP > /dev/null
done

pack_tar() { tar --format=ustar --owner=0 --group=0 --numeric-owner -cf - "$@"; }
pack_tar readme.txt sub > "$out/plain.tar"
pack_tar readme.txt long.txt sub | gzip -9 -n > "$out/gzip.tgz"
pack_tar readme.txt long.txt sub | bzip2 -9 > "$out/bzip2.tar.bz2"

# A 24-bit BMP of 8 x 5 pixels: two blue 4 x 4 cells over a magenta key row.
bmp_header='BM\xae\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x08\x00\x00\x00\x05\x00\x00\x00'
bmp_header+='\x01\x00\x18\x00\x00\x00\x00\x00\x78\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
write_cg() {
  printf "$bmp_header"
  for _ in 1 2 3 4 5 6 7 8; do printf '\xff\x00\xff'; done
  for _ in $(seq 32); do printf '\xff\x00\x00'; done
}
definition='#SIZE 8\r\n#CHARNAME drop\r\n#CHARBMP cg.bmp\r\n#1 0 0 4 4\r\n#2 4 0 4 4\r\n#PATERN 01 02\r\n#PATERN 03 01\r\n'

mkdir -p "$work/drop/sub" "$work/sjis/sub" "$out/drop"
write_cg > "$work/drop/sub/cg.bmp"
printf "$definition" > "$work/drop/sub/chara.chP"
cp "$work/drop/sub/cg.bmp" "$work/sjis/sub/cg.bmp"
printf "$definition" > "$work/sjis/sub/$(printf '\x83\x4c\x83\x83\x83\x89').chP"
touch -d '2024-01-02 03:04:05' "$work"/drop/sub/* "$work"/sjis/sub/*

cp -rp "$work/drop/sub" "$out/drop/sub"
cd "$work/drop"
lha -a1o5q "$out/drop/package.lzh" sub/cg.bmp sub/chara.chP
zip -q -X -r "$out/drop/package.zip" sub
gcab -c -z "$out/drop/package.cab" sub/cg.bmp sub/chara.chP
arj a -m1 -y "$out/drop/package.arj" sub/cg.bmp sub/chara.chP > /dev/null
pack_tar sub | gzip -9 -n > "$out/drop/package.tgz"
cd "$work/sjis"
LC_ALL=C zip -q -X -r "$out/drop/shift-jis.zip" sub
