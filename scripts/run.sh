#!/usr/bin/env bash
# Installs what is missing, builds, and starts the workbench on the cantilever example.
#   scripts/run.sh             the workbench with examples/cantilever.xml
#   scripts/run.sh --engine    the engine alone: one analysis of examples/cantilever.txt
#   scripts/run.sh --optimize  the engine alone: a whole optimization of the 80 x 40 cantilever
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" build

case "${1:-}" in
  --engine|--optimize)
    run="$root/build/example-run"
    rm -rf "$run" && mkdir -p "$run"
    cd "$run"
    if [ "$1" = --engine ]; then
      cp "$root/examples/cantilever.txt" "$run/"
      "$root/build/bin/topax" cantilever.txt
    else
      # The fine mesh: on the 8 x 4 example no element can come back once removed.
      cp "$root/examples/cantilever-fine.txt" "$root/examples/Parameters-fine.txt" "$run/"
      "$root/build/bin/topax" cantilever-fine.txt Parameters-fine.txt
    fi
    echo "Result files are in $run"
    ;;
  "")
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "No display found. Start the workbench on a virtual one with" >&2
      echo "  xvfb-run -a scripts/run.sh" >&2
      echo "or run the engine alone with  scripts/run.sh --engine" >&2
      exit 1
    fi
    exec "$root/build/bin/strukta" "$root/examples/cantilever.xml"
    ;;
  *)
    echo "usage: scripts/run.sh [--engine|--optimize]" >&2
    exit 2
    ;;
esac
