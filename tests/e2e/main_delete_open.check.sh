# The deleted message left p7's InBox for the Trash; the other forty-nine stayed.
set -eu
box="$1/MailBoxes/Players/p7"
inbox=$(ls "$box/InBox" | grep -c '\.wnl$' || true)
trash=$(ls "$box/Trash" | grep -c '\.wnl$' || true)
[ "$inbox" -eq 49 ] || { echo "InBox holds $inbox messages, expected 49"; exit 1; }
[ "$trash" -eq 1 ] || { echo "Trash holds $trash messages, expected 1"; exit 1; }
[ ! -e "$box/InBox/WN50.wnl" ] || { echo "the newest message WN50.wnl is still in the InBox"; exit 1; }
echo "delete ok: 49 in the InBox, 1 in the Trash"
