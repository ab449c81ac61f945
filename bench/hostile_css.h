// Documents whose style sheets are made to cost a reader time out of
// proportion to their size, one family each, grown to about a given number
// of bytes. The benchmarks time them at several sizes to show the reader's
// time linear in each; the tests read each at 10 KB, 100 KB and 1 MB.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hostilecss {

struct Family {
    const char* name;
    std::string (*make)(std::size_t bytes);
    // What a browser shows of every "x": red where the rule matches, black
    // where it does not; `kUnchecked` where only the text is certain, since
    // a reader may stop applying such rules once the work it allows a
    // document is spent.
    enum Colour { kRed, kBlack, kUnchecked } colour;
};

// Repeats `unit` until `out` holds about `bytes` bytes.
inline void fill(std::string& out, const std::string& unit, std::size_t bytes) {
    while (out.size() + unit.size() <= bytes) out += unit;
}

// One compound of many classes (.a.b.b.b...) against many elements of class a:
// half the bytes the selector, half the elements.
inline std::string manyClassesInOneCompound(std::size_t bytes) {
    std::string doc = "<style>.a";
    fill(doc, ".b", bytes / 2);
    doc += "{color:red}</style>";
    fill(doc, "<i class=a>x</i>", bytes);
    return doc;
}

// An ancestor compound of many classes (.a.a.a... .b i) under 100 nested
// elements of class a: every ancestor is compared with every class.
inline std::string ancestorCompoundOfManyClasses(std::size_t bytes) {
    std::string doc = "<style>.a";
    fill(doc, ".a", bytes / 2);
    doc += " .b i{color:red}</style>";
    for (int i = 0; i < 100; ++i) doc += "<div class=a>";
    doc += "<div class=b>";
    fill(doc, "<i>x</i>", bytes);
    return doc;
}

// One rule whose block repeats a declaration, applied to every element.
inline std::string hugeDeclarationBlock(std::size_t bytes) {
    std::string doc = "<style>i{";
    fill(doc, "color:red;", bytes / 2);
    doc += "}</style>";
    fill(doc, "<i>x</i>", bytes);
    return doc;
}

// The same with every declaration important.
inline std::string hugeImportantBlock(std::size_t bytes) {
    std::string doc = "<style>i{";
    fill(doc, "color:red !important;", bytes / 2);
    doc += "}</style>";
    fill(doc, "<i>x</i>", bytes);
    return doc;
}

// Many rules that all match every element: a style sheet and an element, repeated.
inline std::string rulesMatchingEveryElement(std::size_t bytes) {
    std::string doc;
    fill(doc, "<style>i{color:red}</style><i>x</i>", bytes);
    return doc;
}

// The same with every rule written differently, so that none repeats another.
inline std::string distinctRulesMatchingEveryElement(std::size_t bytes) {
    std::string doc;
    for (std::size_t i = 0; doc.size() < bytes; ++i)
        doc += "<style>i{color:red;--v" + std::to_string(i) + ":0}</style><i>x</i>";
    return doc;
}

// Many :link rules, and links for them to match.
inline std::string linkRulesInBulk(std::size_t bytes) {
    std::string doc;
    fill(doc, "<style>:link{color:red}</style><a href=x>x</a>", bytes);
    return doc;
}

inline const std::vector<Family>& families() {
    static const std::vector<Family> all = {
        {"ManyClassesInOneCompound", manyClassesInOneCompound, Family::kBlack},
        {"AncestorCompoundOfManyClasses", ancestorCompoundOfManyClasses, Family::kRed},
        {"HugeDeclarationBlock", hugeDeclarationBlock, Family::kRed},
        {"HugeImportantBlock", hugeImportantBlock, Family::kRed},
        {"RulesMatchingEveryElement", rulesMatchingEveryElement, Family::kRed},
        {"DistinctRulesMatchingEveryElement", distinctRulesMatchingEveryElement, Family::kUnchecked},
        {"LinkRulesInBulk", linkRulesInBulk, Family::kRed},
    };
    return all;
}

}  // namespace hostilecss
