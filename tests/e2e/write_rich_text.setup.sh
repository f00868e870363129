# ann_01 and bob_02.
set -eu
. "$(dirname "$0")/accounts.sh"
