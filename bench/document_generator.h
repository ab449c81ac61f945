// Deterministic styled RTF documents for benchmarks: English-like text with
// frequent bold, italic, underline, colour and size changes in short groups,
// hexadecimal escapes, a font table, a colour table, an info group and
// skipped destinations (bookmarks, pictures).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A style run as a reader of the document records it: it starts at every
// character whose properties differ from the previous character's.
struct GeneratedRun {
    std::int32_t charPos;  // index in the text
    std::int16_t size;     // points
    std::int16_t face;     // face word: bold 0x0100, italic 0x0200, underline 0x0400
    std::uint32_t colour;  // 0x00RRGGBB
};

struct GeneratedDocument {
    std::string rtf;                 // the document, without a terminating NUL
    std::string text;                // the characters it delivers; paragraphs end in LF
    std::vector<GeneratedRun> runs;  // the runs of `text`
};

// Generates a document of about `approxBytes` bytes (never fewer) with the
// text and runs it holds. The same arguments always give the same document.
GeneratedDocument generateStyledDocument(std::size_t approxBytes, unsigned seed);

// Generates the same document as generateStyledDocument, only its RTF.
std::string generateStyledRtf(std::size_t approxBytes, unsigned seed);

// An "HTML Format" block of Word's clipboard markup of about `bytes` bytes:
// its style sheet of classes and mso- properties in the head, then
// paragraphs of bold, italic, sized and coloured spans, superscripts,
// references, list markers and links, repeated.
std::string generateWordClipboardBlock(std::size_t bytes);
