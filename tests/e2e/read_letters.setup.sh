# ann_01's stored letters: one from Bob (in her address book) with a stamp in its rich part, and a
# newer one from a long sender name without a To line. Her book names bob_02 "Bob".
set -eu
here=$(dirname "$0")
. "$here/accounts.sh"
python3 "$here/put_address_book.py" "$1" ann_01 grandma=nana_07 Bob=BOB_02
sh "$here/stamp_letter.sh" "Bob Brown <bob_02>" ann_01 "Hello Ann" | python3 "$here/put_message.py" "$1" kite ann_01 InBox 1
python3 "$here/put_message.py" "$1" kite ann_01 InBox 2 <<'MAIL'
From: someone_with_a_very_long_name
Subject: No To line
Date: 03 Jan 2026 10:00:00 +0000

Who is this for?
MAIL
