#include "html/cf_html.h"

#include <cstring>

#include "html/char_class.h"
#include "html/utf8.h"

namespace html {

namespace {

constexpr long long kAbsent = -2;

// A decimal number with an optional sign, at most 12 digits; false otherwise.
bool parseNumber(const char* p, const char* end, long long& value) {
    while (p < end && isBlank(*p)) ++p;
    while (end > p && isBlank(end[-1])) --end;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    if (p == end || end - p > 12) return false;
    value = 0;
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    return true;
}

// Appends `value` in exactly ten digits.
void appendTenDigits(std::string& out, std::size_t value) {
    char digits[10];
    for (int i = 9; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits, 10);
}

}  // namespace

bool parseCfHtmlHeader(const char* data, std::size_t size, CfHtmlLayout& layout) {
    if (data == nullptr) return false;
    const void* nul = std::memchr(data, '\0', size);
    if (nul != nullptr) size = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
    const char* p = data;
    const char* end = data + size;
    long long version = kAbsent, startHtml = kAbsent, endHtml = kAbsent, startFragment = kAbsent, endFragment = kAbsent;
    // "Name:value" lines, up to the first line that is not one.
    while (p < end) {
        const char* name = p;
        while (p < end && (isAsciiAlpha(*p) || *p == '_')) ++p;
        if (p == name || p == end || *p != ':') {
            p = name;
            break;
        }
        const std::size_t nameLength = static_cast<std::size_t>(p - name);
        const char* value = ++p;
        while (p < end && *p != '\r' && *p != '\n') ++p;
        const char* valueEnd = p;
        if (p < end && *p == '\r') ++p;
        if (p < end && *p == '\n') ++p;
        auto is = [&](const char* field) {
            return std::strlen(field) == nameLength && std::memcmp(field, name, nameLength) == 0;
        };
        long long* field = is("StartHTML")       ? &startHtml
                           : is("EndHTML")       ? &endHtml
                           : is("StartFragment") ? &startFragment
                           : is("EndFragment")   ? &endFragment
                                                 : nullptr;
        if (is("Version")) version = 0;
        if (field != nullptr && !parseNumber(value, valueEnd, *field)) return false;
    }
    const long long headerEnd = p - data;
    const long long blockSize = static_cast<long long>(size);
    if (version == kAbsent || startHtml == kAbsent || endHtml == kAbsent || startFragment == kAbsent ||
        endFragment == kAbsent)
        return false;
    if (startFragment < headerEnd || endFragment < startFragment || endFragment > blockSize) return false;
    if (startHtml != -1 && (startHtml < headerEnd || startHtml > startFragment)) return false;
    if (endHtml != -1 && (endHtml < endFragment || endHtml > blockSize)) return false;
    layout.documentStart = static_cast<std::size_t>(startHtml == -1 ? headerEnd : startHtml);
    layout.documentEnd = static_cast<std::size_t>(endHtml == -1 ? blockSize : endHtml);
    layout.fragmentStart = static_cast<std::size_t>(startFragment);
    layout.fragmentEnd = static_cast<std::size_t>(endFragment);
    return true;
}

namespace {

constexpr char kBefore[] = "<html><body><!--StartFragment-->";
constexpr char kAfter[] = "<!--EndFragment--></body></html>";

}  // namespace

std::string cfHtmlBefore(std::size_t fragmentSize) {
    static const char* const kFields[4] = {"StartHTML:", "EndHTML:", "StartFragment:", "EndFragment:"};
    static const char kVersion[] = "Version:0.9\r\n";
    // Every offset is written with ten digits, so the header's length is known first.
    std::size_t headerLength = std::strlen(kVersion);
    for (const char* f : kFields) headerLength += std::strlen(f) + 10 + 2;
    const std::size_t startFragment = headerLength + std::strlen(kBefore);
    const std::size_t endFragment = startFragment + fragmentSize;
    const std::size_t offsets[4] = {headerLength, endFragment + std::strlen(kAfter), startFragment, endFragment};
    std::string before;
    before.reserve(startFragment);
    before.append(kVersion);
    for (int i = 0; i < 4; ++i) {
        before.append(kFields[i]);
        appendTenDigits(before, offsets[i]);
        before.append("\r\n");
    }
    before.append(kBefore);
    return before;
}

const std::string& cfHtmlAfter() {
    static const std::string after = kAfter;
    return after;
}

std::string makeCfHtml(const std::string& fragment) { return cfHtmlBefore(fragment.size()) + fragment + cfHtmlAfter(); }

bool readCfHtml(const char* data, std::size_t size, FragmentText& out) {
    CfHtmlLayout layout;
    if (!parseCfHtmlHeader(data, size, layout)) return false;
    // A block whose three parts are each valid UTF-8, as nearly every block
    // is, would be copied unchanged: it is read where it lies.
    const std::size_t documentSize = layout.documentEnd - layout.documentStart;
    auto valid = [data](std::size_t from, std::size_t to) {
        return validUtf8Prefix(data + from, to - from) == to - from;
    };
    if (valid(layout.documentStart, layout.fragmentStart) && valid(layout.fragmentStart, layout.fragmentEnd) &&
        valid(layout.fragmentEnd, layout.documentEnd)) {
        out = readFragment(std::string_view(data + layout.documentStart, documentSize),
                           layout.fragmentStart - layout.documentStart, layout.fragmentEnd - layout.documentStart);
        return true;
    }
    // Otherwise made valid UTF-8 in three parts, so that the fragment's
    // bounds stay where they are in the text a browser decodes.
    std::string document;
    document.reserve(documentSize);
    appendValidUtf8(document, data + layout.documentStart, layout.fragmentStart - layout.documentStart);
    const std::size_t fragmentStart = document.size();
    appendValidUtf8(document, data + layout.fragmentStart, layout.fragmentEnd - layout.fragmentStart);
    const std::size_t fragmentEnd = document.size();
    appendValidUtf8(document, data + layout.fragmentEnd, layout.documentEnd - layout.fragmentEnd);
    out = readFragment(document, fragmentStart, fragmentEnd);
    return true;
}

}  // namespace html
