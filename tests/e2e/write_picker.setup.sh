# ann_01's book, not in alphabetical order: the picker shows anna, Bob, grandma.
set -eu
here=$(dirname "$0")
. "$here/accounts.sh"
python3 "$here/put_address_book.py" "$1" ann_01 grandma=nana_07 Bob=bob_02 anna=anna_03
