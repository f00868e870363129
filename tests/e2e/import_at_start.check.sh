set -eu
if ls "$1/Import" | grep -q .; then
  echo "Import is not empty" >&2
  exit 1
fi
inbox="$1/MailBoxes/Players/p7/InBox"
"$2" dict-dump "$inbox"/*.wnl | grep -q 'Happy birthday' || { echo "p7's InBox lacks the import" >&2; exit 1; }
