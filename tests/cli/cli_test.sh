#!/usr/bin/env bash
# The harbor program as a newcomer meets it: --version, --help on every command, usage and
# errors that name what is wrong, the documented exit statuses, nothing created by commands
# that only read, unusable folders and scripts refused before anything runs, import refusing
# what it cannot take, and account removal that never hands old letters to a new account.
#   cli_test.sh HARBOR MODULE CONTENT VERSION VERSIONED_STAND_IN UNVERSIONED_STAND_IN
set -uo pipefail
harbor=$1 module=$2 content=$3 version=$4 versioned=$5 unversioned=$6
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
export HARBOR_PASSWORD_COST=fast XDG_DATA_HOME="$work/xdg" HOME="$work/home"
failures=0

# run STATUS ARGS...: runs harbor, keeps its output in $out and $err, checks the exit status.
run() {
  local want=$1
  shift
  "$harbor" "$@" >"$work/out" 2>"$work/err" </dev/null
  got=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
  check "[ $got -eq $want ]" "harbor $* exits $want (gave $got: ${err:0:200})"
}
check() {
  if eval "$1"; then echo "ok   $2"; else echo "FAIL $2"; failures=$((failures + 1)); fi
}
has() { case $1 in *"$2"*) return 0 ;; esac; return 1; }
session=(--module "$module" --content "$content")

run 0 --version --module "$module"
nl=$'\n'
check '[ "$out" = "harbor $version${nl}wrenmail module $version: $module" ]' "--version names both versions"
# The module's version is read from the library loaded, not from the build.
run 0 --version --module "$versioned"
check 'has "$out" "wrenmail module 7.7.7-stand-in: $versioned"' "--version names the version the loaded module exports"
run 0 --version --module "$unversioned"
check 'has "$out" "wrenmail module unknown: $unversioned"' "a module without a version is of unknown version"
run 0 --version --module "$work/missing.so"
check 'has "$out" "wrenmail module unknown: cannot load the mail module $work/missing.so: no such file"' \
  "--version says why there is no module"

for command in "" "account" "account add" "account passwd" "account remove" "account list" "import" "dict-dump"; do
  # shellcheck disable=SC2086 # the command is words on purpose
  run 0 $command --help
  check '[ -n "$out" ] && [ -z "$err" ] && has "${out,,}" "exit status"' "harbor $command --help prints usage with the exit statuses"
done

run 2 account
check '[ "$(head -n1 <<<"$err")" = "harbor: account: name a verb" ] && has "$err" "harbor account add NAME"' \
  "account without a verb: the problem on its own line, then the usage"

# Commands that only read make nothing.
run 0 account list --data "$work/none"
check '[ "$out" = "no accounts" ] && [ ! -e "$work/none" ]' "account list on a missing folder: no accounts, nothing made"
run 2 frobnicate
check '[ ! -e "$work/xdg" ]' "an unknown verb makes no data folder"
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$harbor" "${session[@]}" >/dev/null 2>&1
check '[ $? -eq 2 ] && [ ! -e "$work/xdg" ]' "a run without a display makes no data folder"

# Unusable folders and scripts stop harbor with one line naming them.
touch "$work/afile"
run 2 account list --data "$work/afile"
check 'has "$err" "the data folder $work/afile is not a folder"' "account list on a file names it"
run 2 "${session[@]}" --headless --data "$work/afile"
check 'has "$err" "the data folder $work/afile is not a folder" && [ -z "$out" ]' "a file as data folder is fatal"
run 2 "${session[@]}" --headless --data /proc/wrenmail-data
check 'has "$err" "the data folder /proc/wrenmail-data cannot be"' "a data folder under /proc is fatal"
run 2 --module "$module" --content "$work/nonexistent" --headless --data "$work/d1"
check 'has "$err" "the content folder $work/nonexistent does not exist" && [ ! -e "$work/d1" ]' "a missing content folder is fatal"
cp -r "$content" "$work/broken" && printf '{ "scene": ' >"$work/broken/scenes/ScWnMain.json"
run 2 --module "$module" --content "$work/broken" --headless --data "$work/d2"
check 'has "$err" "$work/broken/scenes/ScWnMain.json:1:"' "a scene file broken on purpose is fatal and named"
rm "$work/broken/scenes/ScWnMain.json"
run 2 --module "$module" --content "$work/broken" --headless --data "$work/d2"
check 'has "$err" "has no scene file for ScWnMain"' "a missing scene is fatal and named"
mkdir "$work/adir"
run 2 "${session[@]}" --script "$work/adir" --data "$work/d3"
check 'has "$err" "the script $work/adir is a folder"' "a folder as script is fatal"

# A script with a byte-order mark runs, and success is said in one line.
printf '\xEF\xBB\xBFstart\nexpect scene ScCsSignIn\nstop\n' >"$work/bom.harbor"
run 0 "${session[@]}" --script "$work/bom.harbor" --data "$work/d4"
check '[ "$out" = "$work/bom.harbor: 3 lines held" ]' "a script with a byte-order mark holds and says so"

# Import: folders and oversize files refused at once, with true sizes; plain text gets a sender
# and a subject.
run 1 import --player p7 --data "$work/d5" "$work/adir"
check 'has "$err" "$work/adir: is a folder" && [ ! -e "$work/d5/Import" ] ' "import refuses a folder"
truncate -s 124M "$work/big.eml"
run 1 import --player p7 --data "$work/d5" "$work/big.eml"
check 'has "$err" "big.eml: 124.0 MiB, larger than the 8.0 MiB an import reads"' "import refuses a large file by its size"
head -c 3145728 /dev/zero | tr '\0' '\1' >"$work/controls.txt"
run 1 import --player p7 --data "$work/d5" "$work/controls.txt"
check 'has "$err" "controls.txt: 3.0 MiB read, 18.0 MiB as an import file"' "an import too large once converted gives both sizes"
printf 'Dear Gran,\nthe kite flew.\n' >"$work/kite day.txt"
run 0 import --player p7 --data "$work/d5" "$work/kite day.txt"
dct=$(ls "$work/d5/Import/"*.dct)
check 'grep -q "\"SUBJECT\": \"kite day\"" "$dct" && grep -q "\"FROM\": \"$(id -un)\"" "$dct"' "a plain import is from the user, its subject the file's name"

# Removing an account: its letters are put aside or deleted, never inherited.
data="$work/d6"
printf 'apple\n' | "$harbor" account add ann_01 --data "$data" >/dev/null
mkdir -p "$data/MailBoxes/kiteAccounts/ann_01/InBox" && echo old >"$data/MailBoxes/kiteAccounts/ann_01/InBox/WN1.wnl"
run 2 account remove ann_01 --data "$data"
check 'has "$err" "--keep-mail or --delete-mail" && [ -d "$data/MailBoxes/kiteAccounts/ann_01" ]' "remove without a choice changes nothing"
run 0 account remove ann_01 --keep-mail --data "$data"
check '[ ! -e "$data/MailBoxes/kiteAccounts/ann_01" ] && ls "$data"/MailBoxes/Removed/ann_01-*/InBox/WN1.wnl >/dev/null' "--keep-mail puts the letters aside"
printf 'pear\n' | "$harbor" account add ann_01 --data "$data" >/dev/null
mkdir -p "$data/MailBoxes/kiteAccounts/ann_01/InBox"
run 0 account remove ann_01 --delete-mail --data "$data"
check '[ ! -e "$data/MailBoxes/kiteAccounts/ann_01" ]' "--delete-mail deletes them"
mkdir -p "$data/MailBoxes/kiteAccounts/bob_02/InBox"
printf 'pear\n' | "$harbor" account add bob_02 --data "$data" >"$work/out"
check 'has "$(cat "$work/out")" "letters of an earlier account bob_02 were put aside" && [ ! -e "$data/MailBoxes/kiteAccounts/bob_02" ]' \
  "a new account never finds old letters"
run 1 account remove nobody --keep-mail --data "$data"
check '[ "$err" = "harbor: account remove nobody: there is no account with that kite ID" ]' "errors name the account and the reason"

[ "$failures" -eq 0 ]
