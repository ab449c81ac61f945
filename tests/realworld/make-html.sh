#!/bin/sh
# Makes the corpus of HTML written by real programs (tests/realworld/html)
# from the sources in tests/realworld/sources and the RTF corpus: each
# document's exact command is below. The documents in html/handmade (Word's
# and Google Docs' clipboard markup, selections serialised the way browsers
# copy them) are written by hand and not made here.
#
# Needs: LibreOffice (soffice), pandoc, AbiWord, zip.
# usage: tests/realworld/make-html.sh [ONLY]   (ONLY: libreoffice, pandoc or abiword)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src=$here/sources
out=$here/html
only=${1:-all}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

want() { [ "$only" = all ] || [ "$only" = "$1" ]; }

if want libreoffice; then
  mkdir -p "$out/libreoffice"
  lo() { soffice -env:UserInstallation="file://$work/lo-profile" --headless "$@" >"$work/lo.log" 2>&1 || { cat "$work/lo.log"; exit 1; }; }
  lo --convert-to html --outdir "$out/libreoffice" "$src/typography.fodt"
  lo --convert-to html --outdir "$out/libreoffice" "$src/tables.fodt"
  (cd "$src/notes.docx.d" && zip -qX -r "$work/notes.docx" '[Content_Types].xml' _rels word)
  lo --convert-to html --outdir "$out/libreoffice" "$work/notes.docx"
  lo --convert-to html --outdir "$out/libreoffice" "$here/rtf/libreoffice/multilingual.rtf"
fi

if want pandoc; then
  mkdir -p "$out/pandoc"
  pandoc -s -f markdown -t html -o "$out/pandoc/markdown.html" "$src/pandoc.md"
  pandoc -s -f rtf -t html -o "$out/pandoc/from_rtf.html" "$here/rtf/libreoffice/typography.rtf"
  pandoc -s -f html -t html -o "$out/pandoc/multilingual.html" "$src/multilingual.html"
fi

if want abiword; then
  mkdir -p "$out/abiword"
  abiword --to=html -o "$out/abiword/typography.html" "$here/rtf/libreoffice/typography.rtf"
  abiword --to=html -o "$out/abiword/tables.html" "$here/rtf/libreoffice/tables.rtf"
  abiword --to=html -o "$out/abiword/multilingual.html" "$here/rtf/libreoffice/multilingual.rtf"
fi
