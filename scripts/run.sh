#!/usr/bin/env bash
# Builds what is missing and runs harbor with the given arguments, for example:
#   scripts/run.sh                                   opens the window
#   scripts/run.sh --headless                        a short headless demo session
#   scripts/run.sh --player ann --trace              the same, as player ann, every record shown
#   scripts/run.sh --headless --script FILE          a driver script (docs/driver-scripts.md)
#   scripts/run.sh --help                            every option
# The build goes to build-run/ (override with WRENMAIL_RUN_BUILD=DIR).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${WRENMAIL_RUN_BUILD:-build-run}
bash scripts/install-deps.sh >&2
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DWRENMAIL_TESTS=OFF -DWRENMAIL_BENCH=OFF >/dev/null
fi
ninja -C "$build" harbor wrenmail >&2
exec "$build/harbor/harbor" "$@"
