set -eu
[ "$(cat "$1/precious.txt")" = precious ] || { echo "precious.txt is gone" >&2; exit 1; }
[ "$(cat "$1/Import")" = x ] || { echo "the Import file is gone" >&2; exit 1; }
echo "import not a folder ok"
