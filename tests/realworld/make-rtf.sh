#!/bin/sh
# Makes the corpus of RTF written by real programs (tests/realworld/rtf) from
# the sources in tests/realworld/sources: each document's exact command is
# below. The documents in rtf/handmade are written by hand and not made here.
#
# Needs: LibreOffice (soffice), pandoc, AbiWord, zip, mingw-w64 (x86_64) and
# 64-bit Wine, localedef with Debian's "locales" sources.
# usage: tests/realworld/make-rtf.sh [ONLY]   (ONLY: libreoffice, pandoc, abiword or richedit)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src=$here/sources
out=$here/rtf
only=${1:-all}
work=$(mktemp -d)
trap 'WINEPREFIX="$work/wine" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

want() { [ "$only" = all ] || [ "$only" = "$1" ]; }

if want libreoffice; then
  mkdir -p "$out/libreoffice"
  # A profile of its own, so that a LibreOffice already running elsewhere is not used.
  lo() { soffice -env:UserInstallation="file://$work/lo-profile" --headless "$@" >"$work/lo.log" 2>&1 || { cat "$work/lo.log"; exit 1; }; }
  lo --convert-to rtf --outdir "$out/libreoffice" "$src/typography.fodt"
  lo --convert-to rtf --outdir "$out/libreoffice" "$src/tables.fodt"
  lo --convert-to rtf --outdir "$out/libreoffice" "$src/notes_symbols.fodt"
  (cd "$src/notes.docx.d" && zip -qX -r "$work/notes.docx" '[Content_Types].xml' _rels word)
  lo --convert-to rtf --outdir "$out/libreoffice" "$work/notes.docx"
  lo --infilter="HTML (StarWriter)" --convert-to rtf --outdir "$out/libreoffice" "$src/multilingual.html"
  # The same page converted in a Russian session: LibreOffice then marks the
  # document's default language as Russian.
  mkdir -p "$work/ru"
  LANG=ru_RU.UTF-8 lo --infilter="HTML (StarWriter)" --convert-to rtf --outdir "$work/ru" "$src/multilingual.html"
  mv "$work/ru/multilingual.rtf" "$out/libreoffice/multilingual_ru_session.rtf"
fi

if want pandoc; then
  mkdir -p "$out/pandoc"
  pandoc -s -f markdown -t rtf -o "$out/pandoc/markdown.rtf" "$src/pandoc.md"
  pandoc -s -f html -t rtf -o "$out/pandoc/multilingual.rtf" "$src/multilingual.html"
  pandoc -s -f markdown -t rtf -o "$out/pandoc/notes.rtf" "$src/pandoc_notes.md"
fi

if want abiword; then
  mkdir -p "$out/abiword"
  abiword --to=rtf -o "$out/abiword/styles_tables.rtf" "$src/abiword.html"
  abiword --to=rtf -o "$out/abiword/multilingual.rtf" "$src/multilingual.html"
  abiword --to=rtf -o "$out/abiword/notes.rtf" "$src/abiword_notes.abw"
fi

if want richedit; then
  mkdir -p "$out/richedit"
  x86_64-w64-mingw32-g++ -std=c++17 -O1 -Wall -Wextra -static -o "$work/richedit_rtf.exe" \
    "$src/richedit_rtf.cpp" -luser32 -lkernel32
  "$here/../windows/wine_locales.sh" "$work/locales" en_US.UTF-8 pl_PL.UTF-8 ru_RU.UTF-8 el_GR.UTF-8 \
    ja_JP.UTF-8 zh_CN.UTF-8
  export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LOCPATH="$work/locales"
  wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
  "$wine64" wineboot -i >/dev/null 2>&1
  # RichEdit writes \ansicpg and the bytes of each font's character set after
  # the session's ANSI code page, which Wine takes from LANG.
  re() { LANG=$1 LC_ALL=$1 "$wine64" "$work/richedit_rtf.exe" "$2" "$3" "$4"; }
  re en_US.UTF-8 markup "$src/richedit_styles.txt" "$out/richedit/styles_1252.rtf"
  re pl_PL.UTF-8 markup "$src/richedit_polish.txt" "$out/richedit/polish_1250.rtf"
  re ru_RU.UTF-8 markup "$src/richedit_russian.txt" "$out/richedit/russian_1251.rtf"
  re el_GR.UTF-8 markup "$src/richedit_greek.txt" "$out/richedit/greek_turkish_1253.rtf"
  re ja_JP.UTF-8 markup "$src/richedit_japanese.txt" "$out/richedit/japanese_932.rtf"
  re zh_CN.UTF-8 markup "$src/richedit_chinese.txt" "$out/richedit/chinese_936.rtf"
  # RichEdit's own writing of documents written by the other programs.
  re en_US.UTF-8 rtf "$out/libreoffice/tables.rtf" "$out/richedit/tables_from_libreoffice.rtf"
  re en_US.UTF-8 rtf "$out/pandoc/markdown.rtf" "$out/richedit/markdown_from_pandoc.rtf"
fi
echo "corpus written to $out"
