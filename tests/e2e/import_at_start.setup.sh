set -eu
echo "A kite for your birthday." | "$2" import --player p7 --from gran --subject "Happy birthday" - --data "$1" >/dev/null
