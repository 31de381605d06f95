#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through CTest,
# then runs the engine tests again in a sanitizer build (ASan + UBSan).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

"$root/scripts/build.sh" build
(cd "$root/build" && ctest --output-on-failure --parallel "$(nproc)")

"$root/scripts/build.sh" build-asan -DSTRUKTA_SANITIZE=ON -DSTRUKTA_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=Debug
(cd "$root/build-asan" && ctest --output-on-failure --parallel "$(nproc)" -L engine)
