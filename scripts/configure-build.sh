#!/usr/bin/env bash
# Configures the build tree scripts/run.sh and scripts/test.sh share, the same way for both, so
# whichever runs second builds only what the first left out:
#   bash scripts/configure-build.sh DIR
# Warnings are errors; each folder of the program's libraries is compiled as one unit; debug
# information is line tables only (backtraces keep file and line), which a first build needs
# about a quarter less time for than full debug information.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?configure-build.sh needs the build folder}
cmake -S . -B "$build" -G Ninja -DWRENMAIL_WERROR=ON -DWRENMAIL_UNITY=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" >/dev/null
