// The "HTML Format" clipboard block: a header of "Name:value" lines
// (Version, StartHTML, EndHTML, StartFragment, EndFragment, SourceURL)
// followed by a UTF-8 HTML document, the offsets counting bytes from the
// block's start.
#pragma once

#include <cstddef>
#include <string>

#include "html/fragment_reader.h"

namespace html {

struct CfHtmlLayout {
    std::size_t documentStart = 0;  // StartHTML, or the end of the header when it is -1
    std::size_t documentEnd = 0;    // EndHTML, or the end of the block when it is -1
    std::size_t fragmentStart = 0;
    std::size_t fragmentEnd = 0;
};

// Reads the header of the `size` bytes at `data`, of which only those before
// the first NUL count. False when a required field is missing, a value is
// not a number, an offset is negative (but for the -1 that StartHTML and
// EndHTML may hold), the offsets are out of order, or one lies beyond the block.
bool parseCfHtmlHeader(const char* data, std::size_t size, CfHtmlLayout& layout);

// The block for a fragment: a header with exact offsets and
// <html><body><!--StartFragment-->fragment<!--EndFragment--></body></html>.
std::string makeCfHtml(const std::string& fragment);
// The same block in pieces, for a writer that puts a large fragment straight
// into its block: the header and the document before a fragment of
// `fragmentSize` bytes, and the document after it.
std::string cfHtmlBefore(std::size_t fragmentSize);
const std::string& cfHtmlAfter();

// Reads a block: its header, then the text and runs of its fragment as a
// browser shows them. False, with `out` untouched, when the header is refused.
bool readCfHtml(const char* data, std::size_t size, FragmentText& out);

}  // namespace html
