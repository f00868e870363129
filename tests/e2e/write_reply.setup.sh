# bob_02 has ann_01's answer "re: Kites" in his InBox, with a stamp in its tagged part, and names
# her "Ann" in his book.
set -eu
here=$(dirname "$0")
. "$here/accounts.sh"
python3 "$here/put_address_book.py" "$1" bob_02 Ann=ann_01
printf '%s\n' 'From: ann_01@wrenmail.local' 'To: bob_02@wrenmail.local' 'Subject: re: Kites' \
  'Date: Fri, 04 Dec 2026 10:00:00 +0000' 'MIME-Version: 1.0' \
  'Content-Type: multipart/mixed; boundary="b1"' '' '--b1' 'Content-Type: text/plain; charset=utf-8' '' \
  'Sunday is fine cat' '--b1' 'Content-Type: text/wrenmail; charset=utf-8' '' \
  'Sunday is fine <ID="SptCoStampCat" NAME="cat" W=32 H=32>' '--b1--' |
  python3 "$here/put_message.py" "$1" kite bob_02 InBox 1
