#!/bin/sh
# Fails if one of the files asks the linker for the C library's exp: every exp
# the program flies with must be its own, correctly rounded one.
#   no_libc_exp.sh NM FILE...
nm=$1
shift
status=0
for f in "$@"; do
  [ -n "$f" ] || continue
  found=$("$nm" -u "$f" | awk '{print $NF}' | grep -E '^(__)?exp(_finite)?(@.*)?$' | sort -u | tr '\n' ' ')
  if [ -n "$found" ]; then
    echo "$f asks for $found"
    status=1
  else
    echo "$f: no exp from the C library"
  fi
done
exit $status
