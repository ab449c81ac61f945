#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "rtf/RTF.h"
#include "rtf/RTF_reader.h"
#include "rtf/RTF_table.h"
#include "rtf/parse_capture.h"

namespace {

struct Row {
    const char* keyword;
    KWD kwd;
    std::int32_t idx;
    std::int32_t dflt;
    bool fPassDflt;
};

// The whole vocabulary of the reader, written out independently of the table.
const Row kRows[] = {
    {"b", kwdProp, ipropBold, 1, false},
    {"i", kwdProp, ipropItalic, 1, false},
    {"ul", kwdProp, ipropUnderline, 1, false},
    {"uldb", kwdProp, ipropUnderline, 1, false},
    {"ulw", kwdProp, ipropUnderline, 1, false},
    {"uld", kwdProp, ipropUnderline, 1, false},
    {"uldash", kwdProp, ipropUnderline, 1, false},
    {"uldashd", kwdProp, ipropUnderline, 1, false},
    {"uldashdd", kwdProp, ipropUnderline, 1, false},
    {"ulhwave", kwdProp, ipropUnderline, 1, false},
    {"ulldash", kwdProp, ipropUnderline, 1, false},
    {"ulth", kwdProp, ipropUnderline, 1, false},
    {"ulthd", kwdProp, ipropUnderline, 1, false},
    {"ulthdash", kwdProp, ipropUnderline, 1, false},
    {"ulthdashd", kwdProp, ipropUnderline, 1, false},
    {"ulthdashdd", kwdProp, ipropUnderline, 1, false},
    {"ulthldash", kwdProp, ipropUnderline, 1, false},
    {"ululdbwave", kwdProp, ipropUnderline, 1, false},
    {"ulwave", kwdProp, ipropUnderline, 1, false},
    {"ulnone", kwdProp, ipropUnderline, 0, true},
    {"outl", kwdProp, ipropOutline, 1, false},
    {"shad", kwdProp, ipropShadow, 1, false},
    {"scaps", kwdProp, ipropSmallCaps, 1, false},
    {"strike", kwdProp, ipropStrikeThru, 1, false},
    {"striked1", kwdProp, ipropDblStrikeThru, 1, false},
    {"sub", kwdProp, ipropSubscript, 1, false},
    {"super", kwdProp, ipropSuperscript, 1, false},
    {"expnd", kwdProp, ipropExpanded, 0, true},
    {"expndtw", kwdProp, ipropExpanded, 0, true},
    {"fs", kwdProp, ipropFontSize, 12, false},
    {"f", kwdProp, ipropFontNumber, 0, false},
    {"cf", kwdProp, ipropColourIndex, 0, false},
    {"nosupersub", kwdProp, ipropNoSuperSub, 0, false},
    {"plain", kwdProp, ipropPlain, 0, false},
    {"li", kwdProp, ipropLeftInd, 0, false},
    {"ri", kwdProp, ipropRightInd, 0, false},
    {"fi", kwdProp, ipropFirstInd, 0, false},
    {"cols", kwdProp, ipropCols, 1, false},
    {"sbknone", kwdProp, ipropSbk, 0, true},
    {"sbkcol", kwdProp, ipropSbk, 1, true},
    {"sbkeven", kwdProp, ipropSbk, 2, true},
    {"sbkodd", kwdProp, ipropSbk, 3, true},
    {"sbkpage", kwdProp, ipropSbk, 4, true},
    {"pgnx", kwdProp, ipropPgnX, 0, false},
    {"pgny", kwdProp, ipropPgnY, 0, false},
    {"pgndec", kwdProp, ipropPgnFormat, 0, true},
    {"pgnucrm", kwdProp, ipropPgnFormat, 1, true},
    {"pgnlcrm", kwdProp, ipropPgnFormat, 2, true},
    {"pgnucltr", kwdProp, ipropPgnFormat, 3, true},
    {"pgnlcltr", kwdProp, ipropPgnFormat, 4, true},
    {"qc", kwdProp, ipropJust, 2, true},
    {"ql", kwdProp, ipropJust, 0, true},
    {"qr", kwdProp, ipropJust, 1, true},
    {"qj", kwdProp, ipropJust, 3, true},
    {"paperw", kwdProp, ipropXaPage, 12240, false},
    {"paperh", kwdProp, ipropYaPage, 15480, false},
    {"margl", kwdProp, ipropXaLeft, 1800, false},
    {"margr", kwdProp, ipropXaRight, 1800, false},
    {"margt", kwdProp, ipropYaTop, 1440, false},
    {"margb", kwdProp, ipropYaBottom, 1440, false},
    {"pgnstart", kwdProp, ipropPgnStart, 1, true},
    {"facingp", kwdProp, ipropFacingp, 1, true},
    {"landscape", kwdProp, ipropLandscape, 1, true},
    {"red", kwdProp, ipropColourRed, 0, false},
    {"green", kwdProp, ipropColourGreen, 0, false},
    {"blue", kwdProp, ipropColourBlue, 0, false},
    {"v", kwdProp, ipropHidden, 1, false},
    {"u", kwdProp, ipropUnicode, 0, false},
    {"uc", kwdProp, ipropUnicodeSkip, 1, false},
    {"ansicpg", kwdProp, ipropAnsiCodePage, 0, false},
    {"ansi", kwdProp, ipropCharacterSet, 1252, true},
    {"mac", kwdProp, ipropCharacterSet, 10000, true},
    {"pc", kwdProp, ipropCharacterSet, 437, true},
    {"pca", kwdProp, ipropCharacterSet, 850, true},
    {"fcharset", kwdProp, ipropFontCharset, 0, false},
    {"cpg", kwdProp, ipropFontCodePage, 0, false},
    {"deff", kwdProp, ipropDefaultFont, 0, false},
    {"chftn", kwdProp, ipropNoteMark, 0, true},
    {"ftnnar", kwdProp, ipropFootnoteFormat, nfcArabic, true},
    {"ftnnalc", kwdProp, ipropFootnoteFormat, nfcLowerAlpha, true},
    {"ftnnauc", kwdProp, ipropFootnoteFormat, nfcUpperAlpha, true},
    {"ftnnrlc", kwdProp, ipropFootnoteFormat, nfcLowerRoman, true},
    {"ftnnruc", kwdProp, ipropFootnoteFormat, nfcUpperRoman, true},
    {"ftnnchi", kwdProp, ipropFootnoteFormat, nfcChicago, true},
    {"aftnnar", kwdProp, ipropEndnoteFormat, nfcArabic, true},
    {"aftnnalc", kwdProp, ipropEndnoteFormat, nfcLowerAlpha, true},
    {"aftnnauc", kwdProp, ipropEndnoteFormat, nfcUpperAlpha, true},
    {"aftnnrlc", kwdProp, ipropEndnoteFormat, nfcLowerRoman, true},
    {"aftnnruc", kwdProp, ipropEndnoteFormat, nfcUpperRoman, true},
    {"aftnnchi", kwdProp, ipropEndnoteFormat, nfcChicago, true},
    {"par", kwdChar, 10, 0, false},
    {"\n", kwdChar, 10, 0, false},
    {"\r", kwdChar, 10, 0, false},
    {"line", kwdChar, 10, 0, false},
    {"page", kwdChar, 10, 0, false},
    {"sect", kwdChar, 10, 0, false},
    {"column", kwdChar, 10, 0, false},
    {"tab", kwdChar, 9, 0, false},
    {"ldblquote", kwdChar, 0x201C, 0, false},
    {"rdblquote", kwdChar, 0x201D, 0, false},
    {"{", kwdChar, 123, 0, false},
    {"}", kwdChar, 125, 0, false},
    {"\\", kwdChar, 92, 0, false},
    {"emdash", kwdChar, 0x2014, 0, false},
    {"endash", kwdChar, 0x2013, 0, false},
    {"_", kwdChar, 0x2011, 0, false},
    {"~", kwdChar, 0x00A0, 0, false},
    {"emspace", kwdChar, 0x2003, 0, false},
    {"enspace", kwdChar, 0x2002, 0, false},
    {"qmspace", kwdChar, 0x2005, 0, false},
    {"bullet", kwdChar, 0x2022, 0, false},
    {"lquote", kwdChar, 0x2018, 0, false},
    {"rquote", kwdChar, 0x2019, 0, false},
    {"bin", kwdSpec, ipfnBin, 0, false},
    {"*", kwdSpec, ipfnSkipDest, 0, false},
    {"'", kwdSpec, ipfnHex, 0, false},
    {"cell", kwdSpec, ipfnCell, 0, false},
    {"nestcell", kwdSpec, ipfnCell, 0, false},
    {"row", kwdSpec, ipfnRow, 0, false},
    {"nestrow", kwdSpec, ipfnRow, 0, false},
    {"colortbl", kwdDest, idestColTab, 0, false},
    {"author", kwdDest, idestSkip, 0, false},
    {"buptim", kwdDest, idestSkip, 0, false},
    {"comment", kwdDest, idestSkip, 0, false},
    {"creatim", kwdDest, idestSkip, 0, false},
    {"doccomm", kwdDest, idestSkip, 0, false},
    {"fonttbl", kwdDest, idestFontTbl, 0, false},
    {"fldinst", kwdDest, idestFieldInst, 0, false},
    {"fldrslt", kwdDest, idestKeep, 0, false},
    {"nonesttables", kwdDest, idestSkip, 0, false},
    {"upr", kwdDest, idestUpr, 0, false},
    {"ud", kwdDest, idestUd, 0, false},
    {"nesttableprops", kwdDest, idestKeep, 0, false},
    {"cs", kwdDest, idestKeep, 0, false},
    {"footer", kwdDest, idestSkip, 0, false},
    {"footerf", kwdDest, idestSkip, 0, false},
    {"footerl", kwdDest, idestSkip, 0, false},
    {"footerr", kwdDest, idestSkip, 0, false},
    {"footnote", kwdDest, idestSkip, 0, false},
    {"ftncn", kwdDest, idestSkip, 0, false},
    {"ftnsep", kwdDest, idestSkip, 0, false},
    {"ftnsepc", kwdDest, idestSkip, 0, false},
    {"header", kwdDest, idestSkip, 0, false},
    {"headerf", kwdDest, idestSkip, 0, false},
    {"headerl", kwdDest, idestSkip, 0, false},
    {"headerr", kwdDest, idestSkip, 0, false},
    {"info", kwdDest, idestSkip, 0, false},
    {"keywords", kwdDest, idestSkip, 0, false},
    {"operator", kwdDest, idestSkip, 0, false},
    {"pict", kwdDest, idestSkip, 0, false},
    {"printim", kwdDest, idestSkip, 0, false},
    {"private1", kwdDest, idestSkip, 0, false},
    {"revtim", kwdDest, idestSkip, 0, false},
    {"rxe", kwdDest, idestSkip, 0, false},
    {"stylesheet", kwdDest, idestSkip, 0, false},
    {"subject", kwdDest, idestSkip, 0, false},
    {"tc", kwdDest, idestSkip, 0, false},
    {"title", kwdDest, idestSkip, 0, false},
    {"txe", kwdDest, idestSkip, 0, false},
    {"xe", kwdDest, idestSkip, 0, false},
};

TEST(KeywordTable, EveryRowAsExpected) {
    ASSERT_EQ(isymMax, 160);
    ASSERT_EQ(sizeof kRows / sizeof kRows[0], 160u);
    for (std::int32_t isym = 0; isym < isymMax; ++isym) {
        const symbol& sym = rgsymRtf[isym];
        const Row& row = kRows[isym];
        SCOPED_TRACE(row.keyword);
        EXPECT_STREQ(sym.szKeyword, row.keyword);
        EXPECT_EQ(sym.kwd, row.kwd);
        EXPECT_EQ(sym.idx, row.idx);
        EXPECT_EQ(sym.dflt, row.dflt);
        EXPECT_EQ(sym.fPassDflt, row.fPassDflt);
    }
}

TEST(KeywordTable, NoKeywordTwice) {
    std::set<std::string> seen;
    for (std::int32_t isym = 0; isym < isymMax; ++isym)
        EXPECT_TRUE(seen.insert(rgsymRtf[isym].szKeyword).second) << rgsymRtf[isym].szKeyword;
}

std::int32_t linearLookup(const std::string& keyword) {
    for (std::int32_t isym = 0; isym < isymMax; ++isym)
        if (keyword == rgsymRtf[isym].szKeyword) return isym;
    return -1;
}

// The indexed lookup must answer what a row-by-row search answers, for every
// keyword and for words that differ from one by a byte, a case or a length.
TEST(KeywordTable, LookupMatchesLinearSearch) {
    std::vector<std::string> words = {"", "rtf", "ansi", "u", "B", "PAR", "colortb", "colortbls", "xx", "pn"};
    for (int c = 0; c < 256; ++c) words.push_back(std::string(1, static_cast<char>(c)));
    for (std::int32_t isym = 0; isym < isymMax; ++isym) {
        const std::string keyword = rgsymRtf[isym].szKeyword;
        words.push_back(keyword);
        words.push_back(keyword + "a");
        words.push_back(keyword.substr(1));
        for (std::size_t i = 0; i < keyword.size(); ++i) {
            words.push_back(keyword.substr(0, i));
            std::string changed = keyword;
            changed[i] = static_cast<char>(changed[i] ^ 0x20);
            words.push_back(changed);
            changed[i] = 'q';
            words.push_back(changed);
        }
    }
    for (const std::string& word : words)
        EXPECT_EQ(isymLookup(word.data(), word.size()), linearLookup(word)) << "\"" << word << "\"";
}

TEST(PropertyTable, EveryRowAsExpected) {
    struct PropRow {
        ACTN actn;
        PROPTYPE prop;
        std::size_t offset;
    };
    const PropRow rows[ipropMax] = {
        {actnByte, propChp, offsetof(char_prop, fBold)},
        {actnByte, propChp, offsetof(char_prop, fItalic)},
        {actnByte, propChp, offsetof(char_prop, fUnderline)},
        {actnByte, propChp, offsetof(char_prop, fContinuousUnderline)},
        {actnByte, propChp, offsetof(char_prop, fDoubleUnderline)},
        {actnByte, propChp, offsetof(char_prop, fWordUnderline)},
        {actnByte, propChp, offsetof(char_prop, fOutline)},
        {actnByte, propChp, offsetof(char_prop, fShadow)},
        {actnByte, propChp, offsetof(char_prop, fSmallCaps)},
        {actnByte, propChp, offsetof(char_prop, fStrikeThru)},
        {actnByte, propChp, offsetof(char_prop, fDoubleStrikeThru)},
        {actnByte, propChp, offsetof(char_prop, fSubscript)},
        {actnByte, propChp, offsetof(char_prop, fSuperscript)},
        {actnWord, propChp, offsetof(char_prop, iExpanded)},
        {actnWord, propChp, offsetof(char_prop, iFontSize)},
        {actnWord, propChp, offsetof(char_prop, iFontNumber)},
        {actnSpec, propChp, 0},
        {actnSpec, propChp, 0},
        {actnSpec, propChp, 0},
        {actnSpec, propChp, 0},
        {actnSpec, propChp, 0},
        {actnWord, propPap, offsetof(para_prop, xaLeft)},
        {actnWord, propPap, offsetof(para_prop, xaRight)},
        {actnWord, propPap, offsetof(para_prop, xaFirst)},
        {actnWord, propSep, offsetof(sect_prop, cCols)},
        {actnWord, propSep, offsetof(sect_prop, xaPgn)},
        {actnWord, propSep, offsetof(sect_prop, yaPgn)},
        {actnWord, propDop, offsetof(doc_prop, xaPage)},
        {actnWord, propDop, offsetof(doc_prop, yaPage)},
        {actnWord, propDop, offsetof(doc_prop, xaLeft)},
        {actnWord, propDop, offsetof(doc_prop, xaRight)},
        {actnWord, propDop, offsetof(doc_prop, yaTop)},
        {actnWord, propDop, offsetof(doc_prop, yaBottom)},
        {actnWord, propDop, offsetof(doc_prop, pgnStart)},
        {actnByte, propSep, offsetof(sect_prop, sbk)},
        {actnByte, propSep, offsetof(sect_prop, pgnFormat)},
        {actnByte, propDop, offsetof(doc_prop, fFacingp)},
        {actnByte, propDop, offsetof(doc_prop, fLandscape)},
        {actnByte, propPap, offsetof(para_prop, just)},
        {actnSpec, propPap, 0},
        {actnSpec, propChp, 0},
        {actnSpec, propSep, 0},
        {actnByte, propChp, offsetof(char_prop, fHidden)},
        {actnSpec, propChp, 0},
        {actnSpec, propChp, 0},
        {actnSpec, propDop, 0},
        {actnSpec, propDop, 0},
        {actnSpec, propChp, 0},
        {actnSpec, propChp, 0},
        {actnSpec, propDop, 0},
        {actnSpec, propChp, 0},
        {actnSpec, propDop, 0},
        {actnSpec, propDop, 0},
    };
    for (int iprop = 0; iprop < ipropMax; ++iprop) {
        SCOPED_TRACE(iprop);
        EXPECT_EQ(rgprop[iprop].actn, rows[iprop].actn);
        EXPECT_EQ(rgprop[iprop].prop, rows[iprop].prop);
        if (rows[iprop].actn != actnSpec) {
            EXPECT_EQ(rgprop[iprop].offset, static_cast<std::int32_t>(rows[iprop].offset));
        }
    }
}

// Rows that no table entry leads to: the routines answer ecBadTableEntry or
// ecBadColourComponent instead of acting on them.
TEST(Actions, RefuseWhatTheyDoNotHandle) {
    rtftest::Capture capture;
    rtf::Reader reader(rtftest::captureChar, nullptr,
                       &capture);  // a fresh state: normal destination, empty colour table
    EXPECT_EQ(reader.ecParseSpecialProperty(ipropBold, 1), ecBadTableEntry);
    EXPECT_EQ(reader.ecApplyPropChange(ipropMax, 1), ecBadTableEntry);
    EXPECT_EQ(reader.ecParseSpecialKeyword(static_cast<IPFN>(ipfnRow + 1)), ecBadTableEntry);
    EXPECT_EQ(reader.ecParseColourComponent(ipropBold, 1), ecBadColourComponent);
    EXPECT_EQ(reader.ecEndGroupAction(rdsSkip), ecNoError);
}

TEST(Actions, PardAndSectdClearTheirRecords) {
    rtftest::Capture capture;
    rtf::Reader reader(rtftest::captureChar, nullptr, &capture);
    const std::string rtf = "\\li5\\qc\\cols3\\sbkodd";
    ASSERT_EQ(reader.ecParse(rtf.data(), rtf.size()), ecNoError);
    EXPECT_EQ(reader.ecApplyPropChange(ipropPard, 0), ecNoError);
    EXPECT_EQ(reader.pap.xaLeft, 0);
    EXPECT_EQ(reader.pap.just, justL);
    EXPECT_EQ(reader.ecApplyPropChange(ipropSectd, 0), ecNoError);
    EXPECT_EQ(reader.sep.cCols, 0);
    EXPECT_EQ(reader.sep.sbk, sbkNon);
}

TEST(Actions, TranslateKeywordActsByName) {
    rtftest::Capture capture;
    rtf::Reader reader(rtftest::captureChar, nullptr, &capture);
    EXPECT_EQ(reader.ecTranslateKeyword("b", 0, false), ecNoError);
    EXPECT_EQ(reader.chp.fBold, 1);
    EXPECT_EQ(reader.ecTranslateKeyword("private1", 0, false), ecNoError);  // only reachable by name: digits end a word
    EXPECT_EQ(reader.rds, rdsSkip);
}

}  // namespace
