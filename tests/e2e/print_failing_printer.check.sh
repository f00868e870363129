# Both tries left a whole PDF (the printer failed, not the document) and no temporary file.
set -eu
ls "$1/Printed" | sort > "$1/printed.txt"
printf '2026-12-05-Short_letter-2.pdf\n2026-12-05-Short_letter.pdf\n' | diff - "$1/printed.txt"
for pdf in "$1"/Printed/*.pdf; do pdfinfo "$pdf" | grep -q '^Pages: *1$'; done
