#!/usr/bin/env bash
# Fails when a source file includes upward against the layer order
# app -> chr -> display -> platform, app -> archive -> platform: platform/ includes
# nothing of the others, display/ and chr/ include neither Qt nor app/, and the
# archiver libraries in arclib/ share only platform/ with archive/.
# Usage: check_include_directions.sh [ROOT]    (default: the source tree)
#        check_include_directions.sh --self-test
set -u

if [ "${1:-}" = "--self-test" ]; then
    # A tree with one upward include must fail, the same tree without it must pass.
    tree=$(mktemp -d)
    trap 'rm -rf "$tree"' EXIT
    mkdir -p "$tree/platform" "$tree/chr"
    echo '#include "platform/stream.h"' >"$tree/chr/ok.cpp"
    "$0" "$tree" >/dev/null || { echo "self-test: a clean tree was refused"; exit 1; }
    for bad in 'platform/a.h:#include "display/dddd.h"' 'chr/b.cpp:#include <QImage>' 'chr/c.cpp:  #  include "app/main.h"'; do
        echo "${bad#*:}" >"$tree/${bad%%:*}"
        "$0" "$tree" >/dev/null && { echo "self-test: missed ${bad#*:} in ${bad%%:*}"; exit 1; }
        rm "$tree/${bad%%:*}"
    done
    exit 0
fi

root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
status=0

# forbid FOLDER PATTERN: no file under FOLDER includes a name matching PATTERN.
forbid() {
    [ -d "$root/$1" ] || return 0
    local found
    found=$(grep -rnE --include='*.h' --include='*.cpp' "^[[:space:]]*#[[:space:]]*include[[:space:]]*($2)" "$root/$1")
    if [ -n "$found" ]; then
        echo "$found" | sed "s|^$root/||; s|\$|   <- includes upward|"
        status=1
    fi
}

qt='<Q[A-Za-z0-9_]*[>/]'
forbid platform '"(app|chr|display|archive|arclib)/'
forbid display "\"(app|chr|archive|arclib)/|$qt"
forbid chr "\"(app|archive|arclib)/|$qt"
forbid archive '"(app|chr|display|arclib)/'
forbid arclib '"(app|chr|display|archive)/'
exit $status
