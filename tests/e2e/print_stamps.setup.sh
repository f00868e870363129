# Player p7 has a letter with a stamp in its rich part.
set -eu
sh "$(dirname "$0")/stamp_letter.sh" "granny_05" p7 "Stamp letter" | python3 "$(dirname "$0")/put_message.py" "$1" player p7 InBox 1
