#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tarnwick. Until the desktop
# program lands this shows the command line's help and searches the bundled
# example folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
cli=build/release/cli/tarnwick-cli
"$cli" --help
echo
echo "== tarnwick-cli local examples/site --find links,images,emails,keywords --keywords 'tarnwick \"link level\"' --tree -"
"$cli" local examples/site --find links,images,emails,keywords --keywords 'tarnwick "link level"' --tree -
