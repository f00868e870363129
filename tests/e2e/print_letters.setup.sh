# Player p7's stored letters: a short one, a long one of forty numbered lines, and one without
# body, newest first in that order in the mailbox: no body, long, short; last, the oldest, one long
# word of accents and emoji, which the lines cut inside its characters.
set -eu
here=$(dirname "$0")
python3 "$here/put_message.py" "$1" player p7 InBox 1 <<'MAIL'
From: granny_05
To: p7
Subject: Short letter
Date: 02 Jan 2026 10:00:00 +0000

Dear p7,
the cat says hello.
MAIL
{
  printf 'From: granny_05\nTo: p7\nSubject: Long letter\nDate: 03 Jan 2026 10:00:00 +0000\n\n'
  for n in $(seq -w 1 40); do printf 'Line %s of the long letter\n' "$n"; done
} | python3 "$here/put_message.py" "$1" player p7 InBox 2
python3 "$here/put_message.py" "$1" player p7 InBox 3 <<'MAIL'
From: granny_05
To: p7
Subject: No body
Date: 04 Jan 2026 10:00:00 +0000

MAIL
{
  printf 'From: granny_05\nTo: p7\nSubject: Accents\nDate: 01 Jan 2026 10:00:00 +0000\n\n'
  python3 -c 'print("\u00e9\U0001F600\u05e9" * 300)'
} | python3 "$here/put_message.py" "$1" player p7 InBox 4
