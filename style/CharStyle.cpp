#include "style/CharStyle.h"

#include <cstring>

#include "platform/winapi.h"
#include "style/clipboard_blocks.h"
#include "style/clipboard_session.h"
#include "style/style_runs.h"

void CharStyle::copy(CharStyle* toStyle, CharStyle* fromStyle) {
    std::string scratch;
    const std::string_view source = fromStyle->textForReading(scratch);
    toStyle->takeTextWithLineEndsMadeCr(source);
    // Making line ends one byte moves what follows a CR LF: the foreign
    // characters move with it.
    if (!fromStyle->foreign_.empty())
        toStyle->foreign_ = codepage::foreignAfterLineEndsMadeSingle(source, fromStyle->foreign_);
    if (const auto* list = dynamic_cast<const RunListStyle*>(fromStyle)) {
        // Read straight from the run list: the source's selection stays as it
        // was, so that two conversions from one source may run at once.
        for (const StyleRuns::Run& run : list->runs())
            toStyle->add(run.charPos, run.size, run.face, run.colour & 0xFFFFFFu, 0);  // a refused run is left out
        return;
    }
    const std::int32_t numStyles = fromStyle->count();
    for (std::int32_t i = 0; i < numStyles; ++i) {
        fromStyle->selectStyle(i);
        const std::int32_t characterPos = fromStyle->charPos(i);
        const std::int16_t fontSize = fromStyle->getSize();
        const std::int16_t fontFace = fromStyle->getFace();
        const std::uint32_t colour = fromStyle->getRGB();
        toStyle->add(characterPos, fontSize, fontFace, colour, 0);  // a refused run is left out
    }
}

std::string_view CharStyle::textForReading(std::string& scratch) {
    scratch = getText();
    return scratch;
}

void CharStyle::takeTextWithLineEndsMadeCr(std::string_view source) {
    setText(TextWithLine(std::string(source), "\r"));
}

std::size_t CharStyle::copyWithShortLineEnds(const char* from, std::size_t size, char* to, const char* newLineEnding) {
    // Line ends are found with memchr, each kind's next one looked for again
    // only once it has been passed, and the text between them moved as a
    // block. Never longer than what it replaces, so `to` may be `from`.
    const char* const end = from + size;
    const auto next = [end](const char* at, char c) {
        const void* hit = std::memchr(at, c, static_cast<std::size_t>(end - at));
        return hit != nullptr ? static_cast<const char*>(hit) : end;
    };
    char* const start = to;
    const char* nextCr = next(from, '\r');
    const char* nextLf = next(from, '\n');
    for (;;) {
        const char* lineEnd = nextCr < nextLf ? nextCr : nextLf;
        const std::size_t cb = static_cast<std::size_t>(lineEnd - from);
        if (to != from && cb > 0) std::memmove(to, from, cb);
        to += cb;
        if (lineEnd == end) break;
        const bool fCr = *lineEnd == '\r';  // read before the ending may write over it
        if (newLineEnding[0] != '\0') *to++ = newLineEnding[0];
        from = lineEnd + 1;
        if (fCr && from < end && *from == '\n') ++from;
        if (nextCr < from) nextCr = next(from, '\r');
        if (nextLf < from) nextLf = next(from, '\n');
    }
    return static_cast<std::size_t>(to - start);
}

std::string CharStyle::TextWithLine(std::string theText, const char* newLineEnding) {
    // One pass that takes a CR LF pair as one line end and a lone CR or LF
    // as one each: the same result as replacing every CR LF, then every CR,
    // then every LF, for any ending without a CR or LF; and for an ending
    // that holds one, the inserted ending is never taken for a line end.
    if (theText.find_first_of("\r\n") == std::string::npos) return theText;
    const std::string ending = newLineEnding;
    if (ending.size() <= 1) {
        // Converted where it stands, since a text of many megabytes should
        // not take twice its memory.
        theText.resize(copyWithShortLineEnds(theText.data(), theText.size(), &theText[0], newLineEnding));
        return theText;
    }
    std::string out;
    out.reserve(theText.size() + theText.size() / 16 * ending.size());
    const size_t n = theText.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = theText[i];
        if (c != '\r' && c != '\n') {
            out.push_back(c);
            continue;
        }
        out += ending;
        if (c == '\r' && i + 1 < n && theText[i + 1] == '\n') ++i;
    }
    return out;
}

bool CharStyle::addToClipboard(const void* data, std::uint32_t size, std::uint32_t registeredKind) {
    HGLOBAL hClipData = clipboard::newBlockCopy(data, size);
    return hClipData != nullptr && addBlockToClipboard(hClipData, registeredKind);
}

bool CharStyle::addBlockToClipboard(void* hGlobal, std::uint32_t registeredKind) {
    // A session that writes one copy whole keeps the block until it commits.
    clipboard::Session* session = clipboard::Session::active();
    if (session != nullptr && session->isStaging()) return session->stage(registeredKind, hGlobal);
    clipboard::OpenedClipboard open(clipboard::Purpose::writing);
    if (!open.isOpen()) {
        GlobalFree(hGlobal);  // the clipboard never took it
        return false;
    }
    const bool bSuccess = SetClipboardData(registeredKind, hGlobal) != nullptr;
    if (!bSuccess) GlobalFree(hGlobal);
    return bSuccess;
}

bool CharStyle::addToClipboard(const void* data, std::uint32_t size, const char* kind) {
    const UINT wFormat = RegisterClipboardFormatA(kind);
    return addToClipboard(data, size, static_cast<std::uint32_t>(wFormat));
}

bool CharStyle::addToClipboard(const char* data, std::uint32_t kind) {
    return addToClipboard(data, static_cast<std::uint32_t>(std::strlen(data) + 1), kind);
}

bool CharStyle::ClearClipboard() {
    clipboard::OpenedClipboard open(clipboard::Purpose::writing);
    return open.isOpen() && EmptyClipboard() != FALSE;
}

bool CharStyle::clipboardHasStyle(std::int32_t kind) {
    clipboard::OpenedClipboard open;
    return open.isOpen() && IsClipboardFormatAvailable(static_cast<UINT>(kind)) != FALSE;
}

bool CharStyle::clipboardHasStyle(const char* kind) {
    return clipboardHasStyle(static_cast<std::int32_t>(RegisterClipboardFormatA(kind)));
}
