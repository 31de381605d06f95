#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh DIR [cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$root/$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/$dir" "${generator[@]}" "$@"
else
  cmake -S "$root" -B "$root/$dir" "$@" >/dev/null
fi
cmake --build "$root/$dir" --parallel "$(nproc)"
