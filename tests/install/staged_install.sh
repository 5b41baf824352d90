#!/usr/bin/env bash
# Installs the build into staging folders, once by --prefix and once by DESTDIR, and
# checks what lands there: every file in its place, the menu entry, file type and
# manual page valid by their own tools, the manual page naming every option of
# --help, and the staged program running from its command link, opening a definition
# and a .lzh package as a file manager hands them over, with the archiver libraries
# beside it rather than in the build tree. Then makes the Debian package with cpack
# and checks its files, owners and modes, its dependencies, its changelog and
# lintian's verdict, and the same tree unpacked from it.
#   staged_install.sh BUILD_DIR SOURCE_DIR
set -uo pipefail

build=$(realpath "$1")
source_dir=$(realpath "$2")
stage=$(mktemp -d "${TMPDIR:-/tmp}/pomelune-install.XXXXXX")
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  rm -rf "$stage"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need_tool() { command -v "$1" >/dev/null || { echo "FAIL: $1 is missing (tools/install-deps.sh tests)"; exit 1; }; }
need_tool desktop-file-validate
need_tool xmllint
need_tool cpack
need_tool dpkg-deb
need_tool dpkg-parsechangelog
need_tool lintian

libraries=(libunlha32.so libunzip32.so libcab32.so libunarj32j.so libtar32.so libunrar32.so)

# Checks one installed tree: ROOT is where the prefix landed.
check_tree() {
  local root=$1
  local private=$root/libexec/pomelune
  local files=(
    bin/pomelune libexec/pomelune/pomelune
    share/applications/pomelune.desktop share/mime/packages/pomelune.xml
    share/man/man1/pomelune.1.gz
  )
  for library in "${libraries[@]}"; do files+=("libexec/pomelune/$library"); done
  for file in "${files[@]}"; do [ -f "$root/$file" ] || fail "$root/$file is not installed"; done
  [ -L "$root/bin/pomelune" ] && [[ $(readlink "$root/bin/pomelune") != /* ]] ||
    fail "bin/pomelune is no relative link"

  # The menu entry opens one file with the program and names its types.
  local entry=$root/share/applications/pomelune.desktop
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
  grep -qx 'Exec=pomelune --open %f' "$entry" || fail "the entry does not open a file with pomelune"
  grep -qx 'Icon=pomelune' "$entry" || fail "the entry does not name the pomelune icon"
  local types
  types=$(sed -n 's/^MimeType=//p' "$entry")
  for type in application/x-pomelune-chp application/x-lha application/x-lzh-compressed; do
    [[ ";$types" == *";$type;"* ]] || fail "the entry does not handle $type"
  done

  # The file type: well formed, against the shared-mime-info schema when one is
  # installed, and taken by update-mime-database, whose glob table must map *.chP.
  local mime=$root/share/mime/packages/pomelune.xml schema
  xmllint --noout "$mime" || fail "$mime is not well formed"
  for schema in /usr/share/xml/shared-mime-info/shared-mime-info.rng /usr/share/shared-mime-info/shared-mime-info.rng; do
    [ -f "$schema" ] && { xmllint --noout --relaxng "$schema" "$mime" || fail "$mime does not match $schema"; }
  done
  if command -v update-mime-database >/dev/null; then
    XDG_DATA_DIRS=$root/share update-mime-database "$root/share/mime" 2>"$stage/mime.err" || fail "update-mime-database failed"
    [ -s "$stage/mime.err" ] && fail "update-mime-database warns: $(cat "$stage/mime.err")"
    # Globs match without case, so the table holds them folded.
    grep -qx '[0-9]*:application/x-pomelune-chp:\*\.chp' "$root/share/mime/globs2" || fail "no glob maps *.chP to the file type"
  fi

  # The icons: PNG files of the size their folder names.
  local size icon
  for size in 16 32 48 64 128 256; do
    icon=$root/share/icons/hicolor/${size}x${size}/apps/pomelune.png
    [ "$(od -An -tx1 -N8 "$icon" | tr -d ' \n')" = 89504e470d0a1a0a ] || { fail "$icon is no PNG"; continue; }
    [ "$(od -An -tu4 --endian=big -j16 -N8 "$icon" | tr -s ' ' | sed 's/^ //')" = "$size $size" ] ||
      fail "$icon is not $size x $size"
  done

  # The manual page renders without warnings and names every option of --help.
  local page=$root/share/man/man1/pomelune.1.gz option
  if command -v man >/dev/null; then
    [ -z "$(LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null)" ] || fail "man warns on $page"
  elif command -v groff >/dev/null; then
    zcat "$page" | groff -k -man -Tutf8 -ww -z || fail "groff warns on $page"
  fi
  local help text
  help=$(env -i "$root/bin/pomelune" --help) || fail "the staged pomelune --help fails"
  text=$(zcat "$page") || fail "$page is no gzip file"
  for option in $(grep -oE -- '(^|[^[:alnum:]])--?[a-z]+' <<<"$help" | grep -oE -- '--?[a-z]+' | sort -u); do
    grep -qF -- "$(sed 's/-/\\-/g' <<<"$option")" <<<"$text" || fail "the manual page does not name $option"
  done

  # The staged program runs from its link with no library path set, and the
  # archiver libraries it loads by name sit in its own folder, needing nothing from
  # the build tree.
  local version
  version=$(env -i "$root/bin/pomelune" --version) || fail "the staged pomelune --version fails"
  [[ $version == "pomelune "[0-9]* ]] || fail "the staged pomelune --version prints '$version'"
  [ "$(dirname "$(readlink -f "$root/bin/pomelune")")" = "$(realpath "$private")" ] ||
    fail "bin/pomelune does not lead to the folder of the libraries"
  for binary in "$private/pomelune" "${libraries[@]/#/$private/}"; do
    local needs
    needs=$(env -i ldd "$binary") || fail "ldd cannot read $binary"
    grep -q 'not found' <<<"$needs" && fail "$binary misses a library: $needs"
    grep -qF "$build" <<<"$needs" && fail "$binary takes a library from the build tree: $needs"
    readelf -d "$binary" | grep -qF "$build" && fail "$binary keeps a search path into the build tree"
  done
}

# Runs the staged window on FILE as a file manager opens it: a bare path, from
# another folder, with no library path set; ENV is more environment. Stops it when
# READY (a command) succeeds or after SECONDS; standard error goes to $stage/open.err.
run_window() {
  local root=$1 file=$2 seconds=$3 ready=$4 extra=${5:-NONE=}
  rm -rf "$stage/runtime" && mkdir -m 700 "$stage/runtime"
  (cd / && exec env -i "$extra" QT_QPA_PLATFORM=offscreen HOME="$stage" XDG_RUNTIME_DIR="$stage/runtime" \
    "$root/bin/pomelune" --open "$file") 2>"$stage/open.err" &
  program_pid=$!
  local tenths=0
  while kill -0 "$program_pid" 2>/dev/null && ! $ready && [ $tenths -lt $((seconds * 10)) ]; do
    sleep 0.1
    tenths=$((tenths + 1))
  done
  # A second more, so that a ready state caught mid-way is seen whole by the checks.
  $ready && sleep 1
  if kill -0 "$program_pid" 2>/dev/null; then
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null
  else
    fail "the staged pomelune $file ended at once"
  fi
  program_pid=""
}

# The unpack folder held the package and its files are gone again, which happens only
# after the definition loaded without error. It is the program's own folder, named by
# its process id, the only one in the fresh runtime folder.
package_loaded() {
  local unpacked
  for unpacked in "$stage"/runtime/pomelune-qptemp/*/sub; do
    [ -d "$unpacked" ] && [ -z "$(ls -A "$unpacked")" ] && return 0
  done
  return 1
}

# A definition keeps the window up without an error. A .lzh package is unpacked
# through the libunlha32.so of the program's own folder and loaded.
check_open() {
  local root=$1 private
  private=$(realpath "$root/libexec/pomelune")
  run_window "$root" "$source_dir/samples/sample.chP" 2 false
  [ -s "$stage/open.err" ] && fail "the staged pomelune FILE.chP wrote: $(cat "$stage/open.err")"
  run_window "$root" "$source_dir/tests/fixtures/archives/drop/package.lzh" 30 package_loaded LD_DEBUG=files
  grep -qF "file=$private/libunlha32.so [0];  dynamically loaded" "$stage/open.err" ||
    fail "the staged pomelune did not load its own libunlha32.so: $(grep -a unlha32 "$stage/open.err")"
  package_loaded || fail "the staged pomelune did not unpack and load the .lzh package"
}

# By prefix, and by DESTDIR with an absolute prefix the staging folder sits above.
cmake --install "$build" --prefix "$stage/prefix" >/dev/null || fail "cmake --install --prefix failed"
check_tree "$stage/prefix"
check_open "$stage/prefix"
DESTDIR="$stage/destdir" cmake --install "$build" --prefix /opt/pomelune >/dev/null || fail "cmake --install with DESTDIR failed"
check_tree "$stage/destdir/opt/pomelune"

# The Debian package, made in a folder of its own so the build tree stays as it was.
check_package() {
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$stage/package" >"$stage/cpack.log" 2>&1 ||
    { fail "cpack failed: $(cat "$stage/cpack.log")"; return; }
  local deb
  deb=$(ls "$stage"/package/pomelune_*.deb 2>/dev/null) || { fail "cpack made no pomelune_*.deb"; return; }

  local contents file library size
  contents=$(dpkg-deb --contents "$deb") || { fail "dpkg-deb cannot list $deb"; return; }
  local files=(
    bin/pomelune libexec/pomelune/pomelune
    share/applications/pomelune.desktop share/mime/packages/pomelune.xml
    share/man/man1/pomelune.1.gz share/doc/pomelune/copyright share/doc/pomelune/changelog.gz
  )
  for library in "${libraries[@]}"; do files+=("libexec/pomelune/$library"); done
  for size in 16 32 48 64 128 256; do files+=("share/icons/hicolor/${size}x${size}/apps/pomelune.png"); done
  for file in "${files[@]}"; do
    awk -v path="./usr/$file" '$6 == path { found = 1 } END { exit !found }' <<<"$contents" ||
      fail "the package does not hold /usr/$file"
  done
  # Everything lies under /usr and belongs to root; the program and the folders
  # are executable, the other files (the libraries among them) are not.
  awk '$6 != "./" && $6 !~ /^\.\/usr\// { print "outside /usr: " $6 }
       $2 != "root/root" { print "not owned by root: " $6 }
       $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "folder mode " $1 ": " $6 }
       $1 ~ /^-/ && $6 == "./usr/libexec/pomelune/pomelune" && $1 != "-rwxr-xr-x" { print "program mode " $1 }
       $1 ~ /^-/ && $6 != "./usr/libexec/pomelune/pomelune" && $1 != "-rw-r--r--" { print "file mode " $1 ": " $6 }' \
    <<<"$contents" >"$stage/modes"
  [ -s "$stage/modes" ] && fail "the package's files: $(cat "$stage/modes")"

  # The dependencies come from dpkg-shlibdeps, so they name Qt's libraries.
  local depends
  depends=$(dpkg-deb --field "$deb" Depends)
  [[ $depends == *libqt6* ]] || fail "the package's Depends does not name Qt: '$depends'"

  # Unpacked, the tree passes the checks of an installed one, and the changelog's
  # latest entry is the package's version.
  dpkg-deb -x "$deb" "$stage/root" || { fail "dpkg-deb cannot unpack $deb"; return; }
  check_tree "$stage/root/usr"
  zcat "$stage/root/usr/share/doc/pomelune/changelog.gz" >"$stage/changelog"
  local version
  version=$(dpkg-parsechangelog -l "$stage/changelog" -S Version)
  [ "$version" = "$(dpkg-deb --field "$deb" Version)" ] || fail "the changelog's latest version $version is not the package's"

  # Lintian finds no error; its warnings are shown.
  local report
  if ! report=$(lintian "$deb" 2>"$stage/lintian.err") || grep -q '^E:' <<<"$report"; then
    fail "lintian rejects the package: $report $(cat "$stage/lintian.err")"
  elif [ -n "$report" ]; then
    echo "lintian: $report"
  fi
}
check_package

[ "$failures" -eq 0 ] && echo "staged install: all checks passed"
exit $((failures > 0))
