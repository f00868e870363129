#!/usr/bin/env bash
# scripts/run.sh on a tree that scripts/test.sh built (this build folder): nothing left to
# configure, the help sounds in place, harbor started with the arguments given.
#   run_script_test.sh SOURCE BUILD
set -uo pipefail
source=$1 build=$2
out=$(WRENMAIL_BUILD="$build" bash "$source/scripts/run.sh" --version 2>"$build/run_script_test.err")
status=$?
fail() { echo "FAIL $*"; cat "$build/run_script_test.err"; exit 1; }
[ $status -eq 0 ] || fail "run.sh --version exited $status"
case $out in "harbor "*) ;; *) fail "run.sh did not start harbor: $out" ;; esac
! grep -q "configuring" "$build/run_script_test.err" || fail "run.sh configured a tree of its own"
ls "$build"/content/sounds/SndCsHelp-Play1.wav >/dev/null 2>&1 || fail "no help sounds in $build/content/sounds"
echo "ok   run.sh reuses $build, sounds included: $out" | head -n1
