# Player p7 has one stored letter to print.
set -eu
python3 "$(dirname "$0")/put_message.py" "$1" player p7 InBox 1 <<'MAIL'
From: granny_05
To: p7
Subject: Short letter
Date: 02 Jan 2026 10:00:00 +0000

Dear p7,
the cat says hello.
MAIL
