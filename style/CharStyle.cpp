#include "style/CharStyle.h"

#include <cstring>

#include "platform/winapi.h"

void CharStyle::copy(CharStyle* toStyle, CharStyle* fromStyle) {
    toStyle->setText(TextWithLine(fromStyle->getText(), "\r"));
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

namespace {

// Replaces every `pattern` with `ending`, resuming after the inserted ending
// so that an ending which itself holds a line end is not found again.
void replaceAll(std::string& text, const char* pattern, const std::string& ending) {
    if (ending == pattern) return;  // replacing a line end by itself changes nothing
    const size_t patternLength = std::strlen(pattern);
    std::string out;
    size_t from = 0;
    for (size_t at = text.find(pattern, 0); at != std::string::npos; at = text.find(pattern, from)) {
        if (out.empty()) out.reserve(text.size() + text.size() / 8);
        out.append(text, from, at - from);
        out += ending;
        from = at + patternLength;
    }
    if (from == 0) return;  // nothing replaced
    out.append(text, from, std::string::npos);
    text.swap(out);
}

}  // namespace

std::string CharStyle::TextWithLine(std::string theText, const char* newLineEnding) {
    const std::string ending = newLineEnding;
    // Each pass resumes after the ending it inserted, so an ending that holds
    // a CR or LF is not found again by the same pass.
    replaceAll(theText, "\r\n", ending);
    replaceAll(theText, "\r", ending);
    replaceAll(theText, "\n", ending);
    return theText;
}

bool CharStyle::addToClipboard(const void* data, std::uint32_t size, std::uint32_t registeredKind) {
    HGLOBAL hClipData = GlobalAlloc(GMEM_MOVEABLE, size);
    if (hClipData == nullptr) return false;
    void* pClipData = GlobalLock(hClipData);
    if (pClipData == nullptr) {
        GlobalFree(hClipData);
        return false;
    }
    if (size > 0) std::memcpy(pClipData, data, size);
    GlobalUnlock(hClipData);

    if (!OpenClipboard(GetActiveWindow())) {
        GlobalFree(hClipData);  // the clipboard never took it
        return false;
    }
    bool bSuccess = SetClipboardData(registeredKind, hClipData) != nullptr;
    if (!bSuccess) GlobalFree(hClipData);
    CloseClipboard();
    return bSuccess;
}

bool CharStyle::addToClipboard(const void* data, std::uint32_t size, const char* kind) {
    const UINT wFormat = RegisterClipboardFormatA(kind);
    return addToClipboard(data, size, static_cast<std::uint32_t>(wFormat));
}

bool CharStyle::addToClipboard(const char* data, std::uint32_t kind) {
    return addToClipboard(data, static_cast<std::uint32_t>(std::strlen(data) + 1), kind);
}

void CharStyle::ClearClipboard() {
    if (!OpenClipboard(GetActiveWindow())) return;
    EmptyClipboard();
    CloseClipboard();
}

bool CharStyle::clipboardHasStyle(std::int32_t kind) {
    if (!OpenClipboard(GetActiveWindow())) return false;
    const BOOL available = IsClipboardFormatAvailable(static_cast<UINT>(kind));
    CloseClipboard();
    return available != FALSE;
}

bool CharStyle::clipboardHasStyle(const char* kind) {
    return clipboardHasStyle(static_cast<std::int32_t>(RegisterClipboardFormatA(kind)));
}
