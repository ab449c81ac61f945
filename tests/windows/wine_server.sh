#!/bin/sh
# Starts (start) or ends (stop) the test run's wineserver, so that each Wine
# program does not pay for a new server and nothing outlives the run.
# usage: wine_server.sh start|stop PREFIX BITS
set -u
action=$1; prefix=$2; bits=$3
here=$(dirname "$0")
export WINEPREFIX="$prefix" WINEDEBUG=-all
server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
case "$action" in
  start)
    mkdir -p "$prefix"
    # The server and the services wineboot starts outlive this script: they
    # must not hold the test runner's output open.
    "$server" -p >/dev/null 2>&1 </dev/null  # already running for this prefix is fine
    "$here/wine.sh" "$prefix" "$bits" wineboot -i >"$prefix/wineboot.log" 2>&1 </dev/null
    status=$?
    [ "$status" = 0 ] || cat "$prefix/wineboot.log"
    exit "$status" ;;
  stop)
    "$server" -k 2>/dev/null
    "$server" -w 2>/dev/null
    exit 0 ;;
esac
