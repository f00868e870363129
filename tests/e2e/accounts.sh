# Sourced by setup steps: makes the kite accounts ann_01 (password "apple") and bob_02 ("pear").
# $1 is the data folder, $2 the harbor program.
printf 'apple\n' | "$2" account add ann_01 --data "$1" >/dev/null
printf 'pear\n' | "$2" account add bob_02 --data "$1" >/dev/null
