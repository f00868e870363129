# ann_01 and bob_02, and ann_01's address book naming bob_02 "Bob" among others, out of order.
set -eu
here=$(dirname "$0")
. "$here/accounts.sh"
python3 "$here/put_address_book.py" "$1" ann_01 grandma=nana_07 Bob=bob_02 anna=anna_03
