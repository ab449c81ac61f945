// Runs the reader over a text and keeps every delivered character with the
// properties it came with, described as short readable words.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "rtf/RTF.h"

namespace rtftest {

struct Delivered {
    std::int32_t ch;
    doc_prop dop;
    sect_prop sep;
    para_prop pap;
    char_prop chp;
};

struct Capture {
    std::vector<Delivered> chars;
    std::size_t stopAt = SIZE_MAX;  // answer `stopWith` for the character with this index
    std::int32_t stopWith = 0;
};

inline std::int32_t captureChar(std::int32_t ch, void* data, doc_prop dop, sect_prop sep, para_prop pap,
                                char_prop chp) {
    Capture* capture = static_cast<Capture*>(data);
    capture->chars.push_back(Delivered{ch, dop, sep, pap, chp});
    return capture->chars.size() - 1 == capture->stopAt ? capture->stopWith : 0;
}

struct Parsed {
    std::int32_t ec = -1;
    std::vector<Delivered> chars;

    std::vector<std::int32_t> codes() const {
        std::vector<std::int32_t> out;
        for (const Delivered& d : chars) out.push_back(d.ch);
        return out;
    }
    // The low 8 bits of every character, as the text they make.
    std::string text() const {
        std::string out;
        for (const Delivered& d : chars) out.push_back(static_cast<char>(d.ch & 0xFF));
        return out;
    }
};

// Parses `rtf` with the length-bounded entry point from a heap block of
// exactly its size, so that the sanitizers catch any read past the end.
inline Parsed parseBounded(const std::string& rtf, Capture capture = Capture()) {
    std::unique_ptr<char[]> block(new char[rtf.size() ? rtf.size() : 1]);
    if (!rtf.empty()) std::memcpy(block.get(), rtf.data(), rtf.size());
    Parsed parsed;
    parsed.ec = ecRtfParse(block.get(), rtf.size(), captureChar, &capture);
    parsed.chars = std::move(capture.chars);
    return parsed;
}

// What the run-at-a-time entry point delivered: each run's bytes beside the
// records it came with.
struct ParsedRuns {
    std::int32_t ec = -1;
    std::vector<std::string> runs;
    std::vector<Delivered> chars;      // one per byte of the runs, `ch` its low 8 bits
    std::size_t stopAtRun = SIZE_MAX;  // answer `stopWith` for the run with this index
    std::int32_t stopWith = 0;
};

inline std::int32_t captureRun(const char* pch, std::size_t cch, void* data, const doc_prop& dop, const sect_prop& sep,
                               const para_prop& pap, const char_prop& chp) {
    ParsedRuns* parsed = static_cast<ParsedRuns*>(data);
    parsed->runs.emplace_back(pch, cch);
    for (std::size_t i = 0; i < cch; ++i)
        parsed->chars.push_back(Delivered{static_cast<unsigned char>(pch[i]), dop, sep, pap, chp});
    return parsed->runs.size() - 1 == parsed->stopAtRun ? parsed->stopWith : 0;
}

// Parses `rtf` a run of text at a time, from a heap block of exactly its size.
inline ParsedRuns parseRuns(const std::string& rtf, ParsedRuns parsed = ParsedRuns()) {
    std::unique_ptr<char[]> block(new char[rtf.size() ? rtf.size() : 1]);
    if (!rtf.empty()) std::memcpy(block.get(), rtf.data(), rtf.size());
    parsed.ec = ecRtfParseText(block.get(), rtf.size(), captureRun, &parsed);
    return parsed;
}

// Parses `rtf` with the NUL-terminated entry point.
inline Parsed parseTerminated(const std::string& rtf, Capture capture = Capture()) {
    Parsed parsed;
    parsed.ec = ecRtfParse(rtf.c_str(), captureChar, &capture);
    parsed.chars = std::move(capture.chars);
    return parsed;
}

// Lists the non-zero properties of one character, e.g. "b fs=24 colour=ff0000 li=-360".
inline std::string describe(const Delivered& d) {
    std::string out;
    auto word = [&out](const char* name, long value, bool isFlag) {
        if (value == 0) return;
        if (!out.empty()) out += ' ';
        out += name;
        if (!isFlag || value != 1) {
            out += '=';
            out += std::to_string(value);
        }
    };
    const char_prop& c = d.chp;
    word("b", c.fBold, true);
    word("i", c.fItalic, true);
    word("ul", c.fUnderline, true);
    word("ulc", c.fContinuousUnderline, true);
    word("uldb", c.fDoubleUnderline, true);
    word("ulw", c.fWordUnderline, true);
    word("outl", c.fOutline, true);
    word("shad", c.fShadow, true);
    word("scaps", c.fSmallCaps, true);
    word("strike", c.fStrikeThru, true);
    word("striked", c.fDoubleStrikeThru, true);
    word("sub", c.fSubscript, true);
    word("super", c.fSuperscript, true);
    word("expnd", c.iExpanded, false);
    word("fs", c.iFontSize, false);
    word("f", c.iFontNumber, false);
    if (c.iColour != 0) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%06x", static_cast<unsigned>(c.iColour));
        if (!out.empty()) out += ' ';
        out += "colour=";
        out += hex;
    }
    word("li", d.pap.xaLeft, false);
    word("ri", d.pap.xaRight, false);
    word("fi", d.pap.xaFirst, false);
    word("just", d.pap.just, false);
    word("cols", d.sep.cCols, false);
    word("sbk", d.sep.sbk, false);
    word("pgnx", d.sep.xaPgn, false);
    word("pgny", d.sep.yaPgn, false);
    word("pgnfmt", d.sep.pgnFormat, false);
    word("paperw", d.dop.xaPage, false);
    word("paperh", d.dop.yaPage, false);
    word("margl", d.dop.xaLeft, false);
    word("margt", d.dop.yaTop, false);
    word("margr", d.dop.xaRight, false);
    word("margb", d.dop.yaBottom, false);
    word("pgnstart", d.dop.pgnStart, false);
    word("facingp", d.dop.fFacingp, true);
    word("landscape", d.dop.fLandscape, true);
    return out;
}

}  // namespace rtftest
