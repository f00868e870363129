#!/usr/bin/env bash
# Builds what is missing and runs harbor with the given arguments, for example:
#   scripts/run.sh                                   opens the window
#   scripts/run.sh --headless                        a short headless demo session
#   scripts/run.sh --player ann --trace              the same, as player ann, every record shown
#   scripts/run.sh --headless --script FILE          a driver script (docs/driver-scripts.md)
#   scripts/run.sh --help                            every option
# It shares build/ with scripts/test.sh (override with WRENMAIL_BUILD=DIR): whichever runs first
# configures the tree the same way, and the other builds only what is still missing. The help
# sounds are part of what it builds, so Help is heard.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${WRENMAIL_BUILD:-build}
bash scripts/install-deps.sh >&2
if [ ! -f "$build/build.ninja" ]; then
  echo "run.sh: configuring $build/ (shared with scripts/test.sh)" >&2
  bash scripts/configure-build.sh "$build"
fi
ninja -C "$build" harbor wrenmail content_sounds >&2
exec "$build/harbor/harbor" "$@"
