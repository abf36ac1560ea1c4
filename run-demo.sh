#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo databases into demo-data/
# when absent, and opens the tool on them (the embedded backend).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
[ -f demo-data/ZYM_MASTERV8.sqlite ] || build/demo/zym-demo demo-data
exec build/app/ZymCariKod "$PWD/demo-data"
