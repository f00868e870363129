# One page with the typed header and body; the OutBox holds nothing: printing saves nothing.
set -eu
pdf="$1/Printed/2026-12-05-My_dog.pdf"
pdfinfo "$pdf" | grep -q '^Pages: *1$'
text=$(pdftotext -layout "$pdf" -)
for want in "To: granny_05" "From:" "Subject: My dog" "Dear granny," "I saw a dog today."; do
  printf '%s\n' "$text" | grep -q "$want" || { echo "missing \"$want\" in the printed letter" >&2; exit 1; }
done
left=$(ls "$1/MailBoxes/Players/p7/OutBox" 2>/dev/null | grep -c '\.wnl$' || true)
[ "$left" = 0 ] || { echo "printing saved $left letters" >&2; exit 1; }
