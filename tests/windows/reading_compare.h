// How two readings of one text compare: the texts unit by unit, and the
// attributes of the characters they share, paired by a longest common
// subsequence where the texts differ.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "windows/realworld_reading.h"

namespace realworld {

template <class Char>
std::string hexUnits(const std::basic_string<Char>& s, size_t from, size_t count) {
    std::string out;
    char buffer[16];
    for (size_t i = from; i < s.size() && i < from + count; ++i) {
        std::snprintf(buffer, sizeof buffer, sizeof(Char) == 1 ? "%02x " : "%04x ",
                      static_cast<unsigned>(static_cast<typename std::make_unsigned<Char>::type>(s[i])));
        out += buffer;
    }
    if (out.empty()) return "(end)";
    out.pop_back();
    return out;
}

template <class Char>
std::string printable(const std::basic_string<Char>& s, size_t from, size_t to) {
    std::string out;
    char buffer[16];
    for (size_t i = from; i < to && i < s.size(); ++i) {
        const unsigned c = static_cast<unsigned>(static_cast<typename std::make_unsigned<Char>::type>(s[i]));
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(buffer, sizeof buffer, c < 0x100 ? "\\x%02x" : "\\u%04x", c);
            out += buffer;
        }
    }
    return out;
}

const char* const kAttributeNames[] = {"bold", "italic", "underline", "strikeout", "superscript", "subscript"};

struct Comparison {
    bool textAgrees = false;
    std::string firstDifference;  // where the texts part, as units and context
    std::string alignment;        // how characters were paired when the texts differ
    size_t agree = 0;             // characters of the reference paired with one of equal attributes
    size_t total = 0;             // characters of the reference whose attributes are judged
    size_t unjudged = 0;          // characters of the reference whose attributes are not
    std::set<std::string> attributesDiffering;
    std::string firstAttributeDifference;  // the first paired characters whose attributes differ
};

inline std::string describe(const Attributes& a) {
    std::string out;
    for (int bit = 0; bit < 6; ++bit)
        if ((a.flags >> bit) & 1) out += std::string(out.empty() ? "" : "+") + kAttributeNames[bit];
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, " %dpt #%06x", a.size, static_cast<unsigned>(a.colour));
    return (out.empty() ? "plain" : out) + buffer;
}

// Pairs the units of `a` and `b`: all of them when the texts agree, else a
// longest common subsequence (the texts of a document are a few thousand
// units), or the common prefix when the texts are too long for that.
template <class Char>
std::vector<std::pair<size_t, size_t>> align(const std::basic_string<Char>& a, const std::basic_string<Char>& b,
                                             std::string& how) {
    std::vector<std::pair<size_t, size_t>> pairs;
    const size_t n = a.size(), m = b.size();
    constexpr size_t kMaxCells = 40u * 1000 * 1000;
    if (a == b || n > 65535 || m > 65535 || (n + 1) * (m + 1) > kMaxCells) {
        how = a == b ? "" : "common prefix";
        for (size_t i = 0; i < n && i < m && a[i] == b[i]; ++i) pairs.emplace_back(i, i);
        if (a == b) pairs.resize(n);
        return pairs;
    }
    how = "longest common subsequence";
    std::vector<std::uint16_t> table((n + 1) * (m + 1), 0);
    auto at = [&](size_t i, size_t j) -> std::uint16_t& { return table[i * (m + 1) + j]; };
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            at(i, j) =
                a[i] == b[j] ? static_cast<std::uint16_t>(at(i + 1, j + 1) + 1) : std::max(at(i + 1, j), at(i, j + 1));
    for (size_t i = 0, j = 0; i < n && j < m;) {
        if (a[i] == b[j]) {
            pairs.emplace_back(i, j);
            ++i;
            ++j;
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
    return pairs;
}

// `reference` is RichEdit's reading, `read` the plug-in's (or, in the other
// direction, the text and runs put on the clipboard and RichEdit's reading);
// the names label them in the description of the first difference. A
// character of the reference whose `judged` is false has no attributes to
// compare (an empty `judged` judges them all).
template <class Char>
Comparison compare(const std::basic_string<Char>& reference, const std::vector<Attributes>& referenceAttributes,
                   const std::basic_string<Char>& read, const std::vector<Attributes>& readAttributes,
                   const char* referenceName, const char* readName, const std::vector<bool>& judged = {}) {
    Comparison c;
    c.textAgrees = reference == read;
    for (size_t i = 0; i < reference.size(); ++i) {
        if (i < judged.size() && !judged[i]) ++c.unjudged;
    }
    c.total = reference.size() - c.unjudged;
    if (!c.textAgrees) {
        size_t i = 0;
        while (i < reference.size() && i < read.size() && reference[i] == read[i]) ++i;
        c.firstDifference = "at unit " + std::to_string(i) + ": " + referenceName + " [" + hexUnits(reference, i, 8) +
                            "] " + readName + " [" + hexUnits(read, i, 8) + "] after \"" +
                            printable(reference, i > 24 ? i - 24 : 0, i) + "\"";
    }
    for (const auto& p : align(reference, read, c.alignment)) {
        if (p.first < judged.size() && !judged[p.first]) continue;
        const Attributes& x = referenceAttributes[p.first];
        const Attributes& y = readAttributes[p.second];
        if (x == y) {
            ++c.agree;
            continue;
        }
        if (c.firstAttributeDifference.empty())
            c.firstAttributeDifference = "first at unit " + std::to_string(p.first) + " \"" +
                                         printable(reference, p.first, p.first + 1) + "\": " + referenceName + " " +
                                         describe(x) + ", " + readName + " " + describe(y);
        for (int bit = 0; bit < 6; ++bit)
            if (((x.flags ^ y.flags) >> bit) & 1) c.attributesDiffering.insert(kAttributeNames[bit]);
        if (x.size != y.size) c.attributesDiffering.insert("size");
        if (x.colour != y.colour) c.attributesDiffering.insert("colour");
    }
    return c;
}

}  // namespace realworld
