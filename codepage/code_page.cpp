#include "codepage/code_page.h"

#include "platform/winapi.h"

namespace codepage {

CodePage ansiCodePage() { return static_cast<CodePage>(GetACP()); }

bool isDoubleByte(CodePage cp) {
    return cp == 932 || cp == 936 || cp == 949 || cp == 950 || cp == 10001 || cp == 10002 || cp == 10003 || cp == 10008;
}

bool isLeadByte(CodePage cp, unsigned char byte) {
    return byte >= 0x80 && isDoubleByte(cp) && IsDBCSLeadByteEx(static_cast<UINT>(cp), byte) != FALSE;
}

namespace {

struct CharsetCodePage {
    std::int32_t charset;
    CodePage cp;
};

// Character sets and their code pages, as RTF writers use them. The Mac
// ones, 77 to 89, are Word for Mac's and TextEdit's; Windows' own charset
// table (TranslateCharsetInfo) has none of them. 82, the old Mac Johab, has
// no code page that Windows converts, and reads as the document's.
constexpr CharsetCodePage kCharsets[] = {
    {0, 1252},   {77, 10000}, {78, 10001}, {79, 10003}, {80, 10008}, {81, 10002}, {83, 10005},
    {84, 10004}, {85, 10006}, {86, 10081}, {87, 10021}, {88, 10029}, {89, 10007}, {128, 932},
    {129, 949},  {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},
    {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850},
};

// The code pages a document may name for its bytes besides those of the
// written charsets: Western Windows, the OEM ones and the Mac ones.
constexpr CodePage kReadableCodePages[] = {1252,  437,   850,   10000, 10001, 10002, 10003, 10004,
                                           10005, 10006, 10007, 10008, 10021, 10029, 10079, 10081};

// What the writer declares for each code page, where the two differ.
constexpr CharsetCodePage kWrittenCharsets[] = {
    {238, 1250}, {204, 1251}, {0, 1252},  {161, 1253}, {162, 1254}, {177, 1255}, {178, 1256},
    {186, 1257}, {163, 1258}, {222, 874}, {128, 932},  {134, 936},  {129, 949},  {136, 950},
};

}  // namespace

CodePage charsetCodePage(std::int32_t charset) {
    for (const CharsetCodePage& entry : kCharsets)
        if (entry.charset == charset) return entry.cp;
    return 0;
}

bool isReadable(CodePage cp) {
    for (CodePage readable : kReadableCodePages)
        if (readable == cp) return true;
    return codePageCharset(cp) != 0;
}

std::int32_t codePageCharset(CodePage cp) {
    for (const CharsetCodePage& entry : kWrittenCharsets)
        if (entry.cp == cp) return entry.charset;
    return 0;
}

std::size_t encode(CodePage cp, std::uint32_t codePoint, char out[kMaxCharBytes]) {
    if (codePoint < 0x80 && cp != kUtf8) {
        out[0] = static_cast<char>(codePoint);
        return 1;
    }
    WCHAR units[2];
    int cUnits = 1;
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        out[0] = '?';
        return 1;
    }
    if (codePoint >= 0x10000) {
        units[0] = static_cast<WCHAR>(0xD800 + ((codePoint - 0x10000) >> 10));
        units[1] = static_cast<WCHAR>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        cUnits = 2;
    } else {
        units[0] = static_cast<WCHAR>(codePoint);
    }
    const int n = WideCharToMultiByte(static_cast<UINT>(cp), 0, units, cUnits, out, static_cast<int>(kMaxCharBytes),
                                      nullptr, nullptr);
    if (n <= 0) {
        out[0] = '?';
        return 1;
    }
    return static_cast<std::size_t>(n);
}

std::uint32_t decode(CodePage cp, const char* bytes, int cb) {
    WCHAR units[2] = {};
    const int n = MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes, cb, units, 2);
    if (n == 1) return units[0];
    if (n == 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF && units[1] >= 0xDC00 && units[1] <= 0xDFFF)
        return 0x10000 + ((units[0] - 0xD800u) << 10) + (units[1] - 0xDC00u);
    return 0;
}

bool encodesExactly(CodePage cp, std::uint32_t codePoint, const char* bytes, std::size_t cb) {
    if (codePoint < 0x80) return cb == 1 && static_cast<unsigned char>(bytes[0]) == codePoint;
    return cb <= kMaxCharBytes && decode(cp, bytes, static_cast<int>(cb)) == codePoint;
}

}  // namespace codepage
