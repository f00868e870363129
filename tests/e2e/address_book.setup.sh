# ann_01's address book as an earlier visit left it, out of order and with one entry that is not
# an address (a number the book must keep).
here=$(dirname "$0")
. "$here/accounts.sh"
python3 "$here/put_address_book.py" "$1" ann_01 zed=zed_1 Bob=bob_02 alfie=alf_3 Version:long=2
