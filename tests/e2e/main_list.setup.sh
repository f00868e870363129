# Fifty stored messages in p7's InBox, from five senders, one day apart, message 50 the newest.
set -eu
here=$(dirname "$0")
i=1
while [ "$i" -le 50 ]; do
  day=$(( (i - 1) % 28 + 1 ))
  month=$(( (i - 1) / 28 + 1 ))
  printf 'From: Friend %d <friend%d@wrenmail.local>\nTo: p7@wrenmail.local\nSubject: Message %02d\nDate: %02d %s 2026 10:00:00 +0000\n\nText %d\n' \
    $(( i % 5 )) $(( i % 5 )) "$i" "$day" "$(echo Jan Feb | cut -d' ' -f"$month")" "$i" |
    python3 "$here/put_message.py" "$1" player p7 InBox "$i"
  i=$((i + 1))
done
