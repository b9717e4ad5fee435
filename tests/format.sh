#!/bin/sh
# The sources keep the house layout (.clang-format): clang-format would change nothing.
# usage: tests/format.sh SOURCE_DIR
set -eu
cd "$1"
FORMAT=${CLANG_FORMAT:-clang-format}
if ! command -v "$FORMAT" >/dev/null 2>&1; then
  echo "format: $FORMAT not found (scripts/install-deps.sh installs clang-format)" >&2
  exit 1
fi
find app base engine formats game library record view tools tests bench fuzz \
     \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 |
  xargs -0 "$FORMAT" --dry-run --Werror
