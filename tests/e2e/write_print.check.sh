# Two printed letters, To "Bob" as typed: the dog drawn in one, named in the other (text mode).
set -eu
set -- "$1"/Printed/*.pdf
[ $# = 2 ] || { echo "expected two printed letters, found $#" >&2; exit 1; }
named=0
for pdf; do
  text=$(pdftotext "$pdf" -)
  printf '%s\n' "$text" | grep -q '^To: Bob$' || { echo "$pdf: To is not Bob as typed" >&2; exit 1; }
  printf '%s\n' "$text" | grep -q 'Hello there' || { echo "$pdf: the body is missing" >&2; exit 1; }
  if printf '%s\n' "$text" | grep -q 'Hello there dog'; then named=$((named + 1)); fi
done
[ "$named" = 1 ] || { echo "expected the stamp named in one print only, found $named" >&2; exit 1; }
