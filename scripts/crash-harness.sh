#!/usr/bin/env bash
# The crash harness: runs driver sessions on fresh data folders, kills harbor (its own child, by
# pid, with SIGKILL) at a random moment of each, restarts, and counts the letters lost,
# duplicated and damaged. Run scripts/crash-harness.sh --help for the options.
set -u

usage() {
  cat <<'EOF'
Usage: scripts/crash-harness.sh --harbor PROGRAM --module LIB --content DIR [options]

Each trial makes a fresh data folder with 8 letters (tagged "crashtest-N" in their subjects),
runs one driver session of its kind with harbor --headless --script, kills harbor (SIGKILL, by
the pid of the child this script started) at a random moment of it, then restarts harbor with
the sessions that finish the work, and counts every tagged letter:

  send    ann_01 sends the 8 letters of her OutBox to bob_02; after the restart she sends again
          and bob_02 fetches: each letter must be in bob_02's InBox once
  fetch   8 letters wait for bob_02, who fetches them: each must reach his InBox once
  save    ann_01 writes and saves a letter while 8 are in her InBox: those 8 stay, once each,
          and the new letter is in her OutBox at most once
  delete  p7 deletes three of the 8 letters of the InBox: each letter is in the InBox, the
          Trash or the holding area (.held), and in at most one of InBox and Trash
  trash   p7's Trash holds 8 more letters that the start empties: the 8 of the InBox stay, and
          each of the Trash is in the Trash or the holding area
  import  8 import files wait in Import/: each letter ends in p7's InBox once (or still waits)

lost: a letter found nowhere it may be; duplicated: a letter found more often than once where
the user sees it; damaged: a file under MailBoxes that harbor dict-dump --check finds bad.

Options:
  --trials N      trials of each kind (default 3)
  --kinds LIST    comma-separated kinds (default send,fetch,save,delete,trash,import)
  --seed N        seed of the random kill moments (default: from the clock; printed)
  --work DIR      where the data folders go (default: a new folder under /tmp, removed after)
  --keep          keep the data folder of every trial that lost, duplicated or damaged a letter
  -h, --help      this text

Exit status: 0 nothing was lost, duplicated or damaged; 1 something was; 2 wrong usage or a
session that fails without being killed.
EOF
}

harbor='' module='' content='' trials=3 kinds=send,fetch,save,delete,trash,import seed='' work='' keep=0
while [ $# -gt 0 ]; do
  case $1 in
    --harbor) harbor=$2; shift 2 ;;
    --module) module=$2; shift 2 ;;
    --content) content=$2; shift 2 ;;
    --trials) trials=$2; shift 2 ;;
    --kinds) kinds=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "crash-harness: unknown option $1" >&2; usage >&2; exit 2 ;;
  esac
done
if [ -z "$harbor" ] || [ -z "$module" ] || [ -z "$content" ]; then
  echo "crash-harness: --harbor, --module and --content are needed" >&2
  exit 2
fi
case $trials in ''|*[!0-9]*) echo "crash-harness: --trials takes a number" >&2; exit 2 ;; esac
[ -n "$seed" ] || seed=$(( $(date +%s) % 32768 ))
case $seed in ''|*[!0-9]*) echo "crash-harness: --seed takes a number" >&2; exit 2 ;; esac
RANDOM=$seed

repo=$(cd "$(dirname "$0")/.." && pwd)
put_message="$repo/tests/e2e/put_message.py"
own_work=0
if [ -z "$work" ]; then
  work=$(mktemp -d /tmp/crash-harness.XXXXXX)
  own_work=1
fi
mkdir -p "$work"
export HARBOR_PASSWORD_COST=fast
letters=8

# --- sessions -------------------------------------------------------------------------------

write_sessions() {
  cat >"$work/send.harbor" <<'EOF'
start player=p7 kite=ann_01 password=apple
click BtnCsEnter
wait 4000
stop
EOF
  cat >"$work/fetch.harbor" <<'EOF'
start player=p8 kite=bob_02 password=pear
click BtnCsEnter
wait 4000
stop
EOF
  cat >"$work/save.harbor" <<'EOF'
start player=p7 kite=ann_01 password=apple
click BtnCsEnter
wait 1000
click BtnWnNew
wait 100
type EdtWrTo "bob_02"
type EdtWrSubject "crashtest-99"
click BtnWrDone
wait 100
click BtnCoOk
wait 200
stop
EOF
  {
    echo "start player=p7"
    echo "wait 200"
    for _ in 1 2 3; do
      printf 'clickat 250 188\nclick BtnWnDelete\nclick BtnCoYes\nwait 100\n'
    done
    echo "stop"
  } >"$work/delete.harbor"
  printf 'start player=p7\nwait 1000\nstop\n' >"$work/player.harbor"
  cp "$work/player.harbor" "$work/trash.harbor"
  cp "$work/player.harbor" "$work/import.harbor"
}

run_session() {  # DATA SCRIPT: runs to the end
  "$harbor" --headless --script "$2" --module "$module" --content "$content" --data "$1" >/dev/null 2>>"$1.log"
}

letter() {  # FROM TO N
  printf 'From: %s@wrenmail.local\nTo: %s@wrenmail.local\nSubject: crashtest-%s\n\nLetter %s of the crash harness.\n' \
    "$1" "$2" "$3" "$3"
}

setup() {  # KIND DATA
  local kind=$1 data=$2 n
  rm -rf "$data" "$data.log"
  mkdir -p "$data"
  case $kind in
    send|fetch|save)
      printf 'apple\n' | "$harbor" account add ann_01 --data "$data" >/dev/null
      printf 'pear\n' | "$harbor" account add bob_02 --data "$data" >/dev/null ;;
  esac
  case $kind in
    send)
      for n in $(seq 1 $letters); do letter ann_01 bob_02 "$n" | python3 "$put_message" "$data" kite ann_01 OutBox "$n"; done ;;
    fetch)
      mkdir -p "$data/.postoffice/waiting/bob_02"
      for n in $(seq 1 $letters); do
        letter ann_01 bob_02 "$n" >"$data/.postoffice/waiting/bob_02/$(printf '%016d' "$n").eml"
      done ;;
    save)
      for n in $(seq 1 $letters); do letter bob_02 ann_01 "$n" | python3 "$put_message" "$data" kite ann_01 InBox "$n"; done ;;
    delete|trash)
      for n in $(seq 1 $letters); do letter bob_02 p7 "$n" | python3 "$put_message" "$data" player p7 InBox "$n"; done
      if [ "$kind" = trash ]; then
        for n in $(seq 101 $((100 + letters))); do letter bob_02 p7 "$n" | python3 "$put_message" "$data" player p7 Trash "$n"; done
      fi ;;
    import)
      for n in $(seq 1 $letters); do
        echo "Letter $n of the crash harness." |
          "$harbor" import --player p7 --from bob_02 --subject "crashtest-$n" - --data "$data" >/dev/null
      done ;;
  esac
}

# The sessions that finish what a killed session began.
recover() {  # KIND DATA
  case $1 in
    send) run_session "$2" "$work/send.harbor" && run_session "$2" "$work/fetch.harbor" ;;
    fetch) run_session "$2" "$work/fetch.harbor" ;;
    *) run_session "$2" "$work/player.harbor" ;;
  esac
}

# --- counting -------------------------------------------------------------------------------

# How many files under the folders hold the tagged letter N (message files and import files).
declare -A seen
count_in() {  # FOLDER...: fills seen[N] with the number of files holding crashtest-N
  seen=()
  local dir n
  for dir in "$@"; do
    [ -d "$dir" ] || continue
    while read -r n; do
      seen[$n]=$(( ${seen[$n]:-0} + 1 ))
    done < <(find "$dir" -type f \( -name 'WN*.wnl' -o -name '*.dct' \) -exec grep -aoh -m1 -E 'crashtest-[0-9]+' {} + |
             sed 's/crashtest-//')
  done
}

lost=0 duplicated=0 damaged=0
tally() {  # KIND DATA: adds this trial's figures
  local kind=$1 data=$2 box n first=1 last=$letters t_lost=0 t_dup=0 t_bad
  local -A visible=() anywhere=()
  case $kind in
    send|fetch) box="$data/MailBoxes/kiteAccounts/bob_02" ;;
    save) box="$data/MailBoxes/kiteAccounts/ann_01" ;;
    *) box="$data/MailBoxes/Players/p7" ;;
  esac
  case $kind in
    send|fetch|import|save) count_in "$box/InBox" "$box/OutBox" ;;
    delete|trash) count_in "$box/InBox" "$box/Trash" ;;
  esac
  for n in "${!seen[@]}"; do visible[$n]=${seen[$n]}; done
  case $kind in
    import) count_in "$box/InBox" "$data/Import" ;;
    delete|trash) count_in "$box/InBox" "$box/Trash" "$data/.held" ;;
  esac
  for n in "${!seen[@]}"; do anywhere[$n]=${seen[$n]}; done
  [ "$kind" = trash ] && last=$((100 + letters))
  for n in $(seq $first $last); do
    if [ "$kind" = trash ] && [ "$n" -gt $letters ] && [ "$n" -le 100 ]; then continue; fi
    if [ "${anywhere[$n]:-0}" -eq 0 ]; then t_lost=$((t_lost + 1)); fi
    if [ "${visible[$n]:-0}" -gt 1 ]; then t_dup=$((t_dup + ${visible[$n]} - 1)); fi
  done
  if [ "$kind" = save ] && [ "${visible[99]:-0}" -gt 1 ]; then t_dup=$((t_dup + ${visible[99]} - 1)); fi
  t_bad=0
  if [ -d "$data/MailBoxes" ]; then
    t_bad=$("$harbor" dict-dump --check "$data/MailBoxes" 2>&1 | grep -c '^bad:')
  fi
  lost=$((lost + t_lost)) duplicated=$((duplicated + t_dup)) damaged=$((damaged + t_bad))
  k_lost=$((k_lost + t_lost)) k_dup=$((k_dup + t_dup)) k_bad=$((k_bad + t_bad))
  if [ $((t_lost + t_dup + t_bad)) -gt 0 ]; then
    echo "  $kind trial $trial (killed after ${kill_ms} ms): lost $t_lost, duplicated $t_dup, damaged $t_bad" >&2
    if [ $keep = 1 ]; then cp -a "$data" "$work/kept-$kind-$trial"; fi
  fi
}

# --- trials ---------------------------------------------------------------------------------

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# How long an unkilled session of the kind runs: the kill moments are spread over it.
measure() {  # KIND
  local data="$work/measure-$1" start
  setup "$1" "$data"
  start=$(now_ms)
  if ! run_session "$data" "$work/$1.harbor"; then
    echo "crash-harness: the $1 session fails without a kill:" >&2
    cat "$data.log" >&2
    exit 2
  fi
  echo $(( $(now_ms) - start + 1 ))
}

write_sessions
echo "crash harness: seed $seed, $trials trial(s) of each of $kinds"
IFS=, read -r -a kind_list <<<"$kinds"
for kind in "${kind_list[@]}"; do
  case $kind in send|fetch|save|delete|trash|import) ;; *) echo "crash-harness: unknown kind $kind" >&2; exit 2 ;; esac
  span=$(measure "$kind") || exit 2
  k_lost=0 k_dup=0 k_bad=0
  for trial in $(seq 1 "$trials"); do
    data="$work/$kind-$trial"
    setup "$kind" "$data"
    kill_ms=$(( (RANDOM * 32768 + RANDOM) % span ))
    "$harbor" --headless --script "$work/$kind.harbor" --module "$module" --content "$content" --data "$data" \
      >/dev/null 2>>"$data.log" &
    pid=$!
    sleep "$(printf '%d.%03d' $((kill_ms / 1000)) $((kill_ms % 1000)))"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    recover "$kind" "$data"
    tally "$kind" "$data"
    rm -rf "$data" "$data.log"
  done
  rm -rf "$work/measure-$kind" "$work/measure-$kind.log"
  printf '%-7s %4d trials (session %5d ms): lost %d, duplicated %d, damaged %d\n' \
    "$kind" "$trials" "$span" "$k_lost" "$k_dup" "$k_bad"
done
echo "total: lost $lost, duplicated $duplicated, damaged $damaged"
if [ $own_work = 1 ] && [ $keep = 0 ]; then rm -rf "$work"; fi
[ $((lost + duplicated + damaged)) -eq 0 ]
