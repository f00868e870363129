set -eu
. "$(dirname "$0")/accounts.sh"
