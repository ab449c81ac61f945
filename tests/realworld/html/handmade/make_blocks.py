#!/usr/bin/env python3
"""Writes each src/NAME.html as NAME.cfhtml: an "HTML Format" block whose
header's offsets point at the document and at what lies between the
<!--StartFragment--> and <!--EndFragment--> comments, as Word, Chrome and
Firefox write them. usage: python3 make_blocks.py (in this folder)"""
import glob, os

for src in sorted(glob.glob(os.path.join(os.path.dirname(__file__) or ".", "src", "*.html"))):
    doc = open(src, "rb").read()
    version = b"1.0" if b"urn:schemas-microsoft-com" in doc else b"0.9"
    fmt = b"Version:" + version + b"\r\nStartHTML:%010d\r\nEndHTML:%010d\r\nStartFragment:%010d\r\nEndFragment:%010d\r\n"
    header_length = len(fmt % (0, 0, 0, 0))
    start = doc.index(b"<!--StartFragment-->") + len(b"<!--StartFragment-->")
    end = doc.index(b"<!--EndFragment-->")
    block = fmt % (header_length, header_length + len(doc), header_length + start, header_length + end) + doc
    out = os.path.join(os.path.dirname(src), "..", os.path.basename(src)[:-5] + ".cfhtml")
    open(out, "wb").write(block)
