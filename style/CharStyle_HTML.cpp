#include "style/CharStyle_HTML.h"

#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>

#include "codepage/byte_utf8_table.h"
#include "codepage/code_page.h"
#include "codepage/unicode_text.h"
#include "html/cf_html.h"
#include "platform/winapi.h"
#include "style/clipboard_blocks.h"
#include "style/html_writer.h"

CharStyle_HTML::CharStyle_HTML(CharStyle* pStyle) {
    const std::int32_t sourceRuns = pStyle->count();
    runs_.reserve(static_cast<std::size_t>(sourceRuns < 0 ? 0 : sourceRuns));
    CharStyle::copy(this, pStyle);
}

CharStyle_HTML::CharStyle_HTML(const char* block, std::size_t size, ReadBlock readBlock) {
    bParsingError = !read(block, size, readBlock);
}

bool CharStyle_HTML::read(const char* data, std::size_t size, ReadBlock readBlock) {
    html::FragmentText fragment;
    if (!html::readCfHtml(data, size, fragment)) return false;
    // Each run's text in the ANSI code page, its start counted in those bytes.
    const codepage::AnsiFromUtf8Encoder& encoder = codepage::AnsiFromUtf8Encoder::current();
    text.reserve(fragment.text.size());
    runs_.reserve(fragment.runs.size());
    for (std::size_t i = 0; i < fragment.runs.size(); ++i) {
        const std::size_t from = fragment.runs[i].start;
        const std::size_t to = i + 1 < fragment.runs.size() ? fragment.runs[i + 1].start : fragment.text.size();
        if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
        const html::RunStyle& rs = fragment.runs[i].style;
        const std::int32_t at = static_cast<std::int32_t>(text.size());
        encoder.append(text, fragment.text.data() + from, to - from, &foreign_);
        // A run that cannot be kept fails the whole read, as running out of
        // memory for the text does.
        if (!runs_.add(StyleRuns::Run{at, static_cast<std::int16_t>(rs.face), rs.size, rs.colour}))
            throw std::bad_alloc();
    }
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
    for (char& c : text)
        if (c == '\n') c = '\r';
    if (readBlock == ReadBlock::notKept) return true;
    // Kept, the block itself is what this container writes while it is
    // unchanged, up to its first NUL.
    const void* nul = std::memchr(data, '\0', size);
    html.assign(data, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - data) : size);
    return true;
}

CharStyle_HTML* CharStyle_HTML::InitFromClipboard(ReadBlock readBlock) {
    return clipboard::newFromBlock<CharStyle_HTML>(kFormatName, readBlock);
}

bool CharStyle_HTML::clipboardHasStyle() { return CharStyle::clipboardHasStyle(kFormatName); }

bool CharStyle_HTML::add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
                         std::int16_t /*fontID*/) {
    if (!runs_.add(StyleRuns::Run{charPos, face, size, colour})) return false;
    std::string().swap(html);
    return true;
}

void CharStyle_HTML::setText(std::string rawText) {
    text = std::move(rawText);
    runs_.clear();
    foreign_.clear();
    std::string().swap(html);
}

const std::string& CharStyle_HTML::block() {
    // The text is in the ANSI code page.
    if (html.empty()) html = htmlBlock(text, runs_.all(), codepage::ansiCodePage(), &foreign_);
    return html;
}

bool CharStyle_HTML::addStyleToClipboard() {
    HGLOBAL hBlock = newBlock();
    return hBlock != nullptr && addBlockToClipboard(hBlock, RegisterClipboardFormatA(kFormatName));
}

HGLOBAL CharStyle_HTML::newBlock() const {
    if (html.empty()) return newBlock(text, runs_.all(), foreign_);
    if (html.size() >= UINT32_MAX) return nullptr;
    return clipboard::newBlockCopy(html.c_str(), html.size() + 1);
}

HGLOBAL CharStyle_HTML::newBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs,
                                 const codepage::ForeignChars& foreign) {
    // Written straight into the block that goes to the clipboard, so that a
    // large block is never held twice. The text is in the ANSI code page.
    return clipboard::newDocumentBlock(HtmlDocument(text, runs, codepage::ansiCodePage(), &foreign));
}
