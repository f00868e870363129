. "$(dirname "$0")/accounts.sh"
