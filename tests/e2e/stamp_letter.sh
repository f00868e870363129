# Prints a two-part letter with a cat stamp in its rich part, as Wrenmail writes them:
#   stamp_letter.sh FROM TO SUBJECT   (an empty TO leaves the To line out)
set -eu
printf 'From: %s\n' "$1"
if [ -n "$2" ]; then printf 'To: %s\n' "$2"; fi
printf 'Subject: %s\n' "$3"
cat <<'MAIL'
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
