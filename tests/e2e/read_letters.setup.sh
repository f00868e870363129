# ann_01's stored letters: one from Bob (in her address book) with a stamp in its rich part, and a
# newer one from a long sender name without a To line. Her book names bob_02 "Bob".
set -eu
here=$(dirname "$0")
. "$here/accounts.sh"
python3 "$here/put_address_book.py" "$1" ann_01 grandma=nana_07 Bob=BOB_02
python3 "$here/put_message.py" "$1" kite ann_01 InBox 1 <<'MAIL'
From: Bob Brown <bob_02>
To: ann_01
Subject: Hello Ann
Date: 02 Jan 2026 10:00:00 +0000
MIME-Version: 1.0
Content-Type: multipart/alternative; boundary="part"

--part
Content-Type: text/plain

Look at my cat here!
--part
Content-Type: text/wrenmail

Look at my <ID="SptCoStampCat" NAME="cat" W=0 H=0> here!
--part--
MAIL
python3 "$here/put_message.py" "$1" kite ann_01 InBox 2 <<'MAIL'
From: someone_with_a_very_long_name
Subject: No To line
Date: 03 Jan 2026 10:00:00 +0000

Who is this for?
MAIL
