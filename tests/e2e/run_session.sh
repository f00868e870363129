#!/bin/sh
# Runs one driver session on a fresh data folder:
#   run_session.sh HARBOR MODULE CONTENT DATA SCRIPT
# NAME.setup.sh DATA HARBOR runs first when it exists (accounts, waiting mail, earlier sessions:
# HARBOR_MODULE and HARBOR_CONTENT are set for those); a line
# "# harbor-options: ..." in the script adds command-line options (--mail-offline, --dialup fail);
# NAME.check.sh DATA HARBOR runs after a session that held, to look at what it left on disk.
set -eu
harbor=$1 module=$2 content=$3 data=$4 script=$5
base=${script%.harbor}

rm -rf "$data"
mkdir -p "$data"
export HARBOR_PASSWORD_COST=fast HARBOR_MODULE="$module" HARBOR_CONTENT="$content"
export HARBOR_SNAPSHOT_DIR="$data/snapshots"
mkdir -p "$HARBOR_SNAPSHOT_DIR"
if [ -f "$base.setup.sh" ]; then
  sh "$base.setup.sh" "$data" "$harbor"
fi
options=$(sed -n 's/^# harbor-options://p' "$script" | head -n 1)
# shellcheck disable=SC2086 # the options are words on purpose
"$harbor" --headless --script "$script" --module "$module" --content "$content" --data "$data" $options
if [ -f "$base.check.sh" ]; then
  sh "$base.check.sh" "$data" "$harbor"
fi
