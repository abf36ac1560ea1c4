#!/usr/bin/env bash
# Configures the project into build/ and builds the targets named on the
# command line, or everything. A new build folder gets Ninja; an existing one
# keeps the generator that made it.
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
[ -f build/CMakeCache.txt ] || generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ $# -gt 0 ]; then
    cmake --build build --target "$@"
else
    cmake --build build
fi
