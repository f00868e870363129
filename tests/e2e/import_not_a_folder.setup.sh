# The data root holds a file of the user's and an "Import" that is a file, not a folder.
set -eu
echo precious > "$1/precious.txt"
echo x > "$1/Import"
