#!/bin/sh
# Compiles glibc locales into a folder of their own, for Wine programs run
# with LOCPATH set to it: Wine takes the ANSI code page from LANG, and falls
# back to 1252 when the C library does not know the locale. Needs localedef
# and the locale sources (Debian's "locales" package), not root.
# usage: wine_locales.sh DIR LOCALE... (each as ll_CC.UTF-8)
# Exits 77 (a skipped test) when the locale sources are not installed.
set -u
dir=$1; shift
if ! command -v localedef >/dev/null 2>&1 || [ ! -d /usr/share/i18n/locales ]; then
  echo "wine_locales.sh: no locale sources (apt-get install locales); skipping" >&2
  exit 77
fi
mkdir -p "$dir"
status=0
for locale in "$@"; do
  [ -f "$dir/$locale/LC_CTYPE" ] && continue
  # -c: some locale sources draw warnings that do not matter here.
  localedef -c -i "${locale%%.*}" -f UTF-8 "$dir/$locale" >"$dir/$locale.log" 2>&1
  if [ ! -f "$dir/$locale/LC_CTYPE" ]; then
    cat "$dir/$locale.log" >&2
    echo "wine_locales.sh: could not compile $locale" >&2
    status=1
  fi
done
exit "$status"
