# Player p7 has a letter with a stamp in its rich part.
set -eu
python3 "$(dirname "$0")/put_message.py" "$1" player p7 InBox 1 <<'MAIL'
From: granny_05
To: p7
Subject: Stamp letter
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
