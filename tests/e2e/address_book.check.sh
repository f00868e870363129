# Done saved the book as the session left it (Bob's new kite ID, Carla added and deleted), the
# number that is not an address kept.
set -eu
book="$1/MailBoxes/kiteAccounts/ann_01/AddBook.wdb"
found=$("$2" dict-dump "$book" | tail -n +2)
expected='# address book of ann_01: 3 names
Name   Kite ID
alfie  alf_3
Bob    bobby_9
zed    zed_1
# other entries, kept as they are: 1
"Version" Long 2'
[ "$found" = "$expected" ] || { printf 'the saved book is\n%s\nexpected\n%s\n' "$found" "$expected" >&2; exit 1; }
