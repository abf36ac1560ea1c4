#!/usr/bin/env bash
# Installs what is missing, builds the program and the demo generator, writes
# the demo databases into demo-data/ when they are absent or were written by
# another version of the generator, and opens the tool on them (the embedded
# backend).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh ZymCariKod zym-demo
build/demo/zym-demo --refresh demo-data
exec build/app/ZymCariKod "$PWD/demo-data"
