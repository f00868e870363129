# The same fifty stored messages as the list session.
sh "$(dirname "$0")/main_list.setup.sh" "$@"
