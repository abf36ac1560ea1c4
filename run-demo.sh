#!/usr/bin/env bash
# Installs what is missing, builds the program and the demo generator, writes
# the demo databases into demo-data/ when they are absent or were written by
# another version of the generator, and opens the tool on them (the embedded
# backend). With --reset the demo databases are written afresh, undoing what
# real runs changed in them (their backups and the run log are kept).
set -euo pipefail
cd "$(dirname "$0")"
write=--refresh
case "${1:-}" in
    --reset) write= ;;
    "") ;;
    *) echo "usage: $0 [--reset]" >&2; exit 2 ;;
esac
scripts/install-deps.sh
scripts/build.sh ZymCariKod zym-demo
build/demo/zym-demo $write demo-data
# Given from the working folder, so that no machine path shows in the window.
exec build/app/ZymCariKod ./demo-data
