#!/bin/sh
# The layers' include rules on the sources, beside the build that links each layer only on the
# ones under it (CMakeLists.txt): a file of a layer includes headers of its own layer and of the
# layers listed for it below, and no include reaches out of its folder with "..". Prints every
# include that breaks them and fails.
#
#   layers.sh SOURCE_DIR   checks the tree
#   layers.sh --self-test  checks that planted faults are reported and allowed includes are not
set -eu

layers="base game record formats engine library view app"
allowed_base="base"
allowed_game="base game"
allowed_record="base game record"
allowed_formats="base game record formats"
allowed_library="base game record formats library"
allowed_engine="base game record engine"
allowed_view="base game record engine view"
allowed_app="$layers"

# Every include of ROOT's layer folders that its layer may not make, one per line.
faults() {
    for layer in $layers; do
        [ -d "$1/$layer" ] || continue
        eval "allowed=\$allowed_$layer"
        find "$1/$layer" -type f \( -name '*.h' -o -name '*.cpp' \) | sort | while IFS= read -r f; do
            awk -v allowed=" $allowed " -v layers=" $layers " '
                /^[ \t]*#[ \t]*include[ \t]*[<"]/ {
                    path = $0
                    sub(/^[^<"]*[<"]/, "", path)
                    sub(/[>"].*$/, "", path)
                    top = path
                    sub(/\/.*$/, "", top)
                    if (path ~ /(^|\/)\.\.\//)
                        print FILENAME ":" FNR ": " path " reaches out of its folder"
                    else if (top != path && index(layers, " " top " ") && !index(allowed, " " top " "))
                        print FILENAME ":" FNR ": " path " is above this layer"
                }' "$f"
        done
    done
}

if [ "${1:-}" = "--self-test" ]; then
    tree=$(mktemp -d)
    trap 'rm -rf "$tree"' EXIT
    mkdir -p "$tree/view" "$tree/engine" "$tree/game" "$tree/app"
    printf '#include "app/TfrmMain.h"\n#include "record/RecordTree.h"\n#include <QWidget>\n' >"$tree/view/A.cpp"
    printf '#include "formats/SgfWriter.h"\n  #  include <engine/Gtp.h>\n' >"$tree/engine/B.h"
    printf '#include "../formats/X.h"\n#include "Local.h"\n#include "tests/game/TestBoard.h"\n' >"$tree/game/C.cpp"
    printf '#include "formats/SgfReader.h"\n#include "view/BoardView.h"\n' >"$tree/app/D.cpp"
    expected="$tree/game/C.cpp:1: ../formats/X.h reaches out of its folder
$tree/engine/B.h:1: formats/SgfWriter.h is above this layer
$tree/view/A.cpp:1: app/TfrmMain.h is above this layer"
    found=$(faults "$tree")
    if [ "$found" != "$expected" ]; then
        printf 'layers: the check reported\n%s\ninstead of\n%s\n' "$found" "$expected" >&2
        exit 1
    fi
    echo "layers: planted faults reported, allowed includes passed"
    exit 0
fi

root=${1:?usage: layers.sh SOURCE_DIR | --self-test}
found=$(faults "$root")
if [ -n "$found" ]; then
    printf '%s\n' "$found" >&2
    exit 1
fi
echo "layers: every include follows the layers"
