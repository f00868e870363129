#!/usr/bin/env bash
# Usage: consume_installed.sh BUILD_DIR PREFIX CONSUMER.c
set -euo pipefail
build=$1 prefix=$2 source=$3
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(ls -d "$prefix"/lib*/ | head -n 1)
for f in edict.h hxmsg.h host_value.h dict_object.h fio_query.h wrenmail.h; do
  test -f "$prefix/include/$f" || { echo "missing installed header $f"; exit 1; }
done
"${CC:-cc}" -std=c11 -Wall -Wextra -Werror -I"$prefix/include" "$source" -o "$prefix/consumer" \
  -L"$libdir" -lwrenmail -lhxmsg
LD_LIBRARY_PATH="$libdir" "$prefix/consumer"
