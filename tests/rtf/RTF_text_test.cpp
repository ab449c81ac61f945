// The text of a document as word processors mean it, delivered in the code
// page CF_TEXT is read in: code pages, "\\u" escapes, character keywords and
// line structure, each with the system's ANSI code page set to 1252, 1251 and
// 932; a case whose text is the same in every code page is read in each.
// Under Wine (tests/windows: reader_cases_LOCALE, one run per code page) the
// cases of the session's code page are checked against Wine's conversions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtf/RTF.h"
#include "rtf/parse_capture.h"
#include "rtf/reader_session.h"

namespace {

using rtftest::describe;
using rtftest::parseBounded;
using rtftest::Parsed;
using rtftest::appendText;
using rtftest::noteForeign;
using rtftest::Told;
using rtftest::useAnsiCodePage;

// A case whose text is the same in every code page: natively it is read with
// each of kCodePages as the ANSI code page, under Wine in the session's.
constexpr unsigned kEveryCodePage = 0;
const unsigned kCodePages[] = {1252, 1251, 932};

struct TextCase {
    const char* name;
    unsigned acp;
    std::string rtf;
    std::string text;        // the bytes delivered, in the ANSI code page
    const char* props = "";  // the properties of the last delivered character
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

const TextCase kCases[] = {
    // Character keywords name characters, delivered in the target code page.
    {"QuotesDashesBullet1252", 1252, "{\\lquote\\rquote\\ldblquote\\rdblquote\\endash\\emdash\\bullet}",
     "\x91\x92\x93\x94\x96\x97\x95"},
    {"QuotesDashesBullet1251", 1251, "{\\lquote\\rquote\\ldblquote\\rdblquote\\endash\\emdash\\bullet}",
     "\x91\x92\x93\x94\x96\x97\x95"},
    {"Quotes932", 932, "{\\lquote\\rquote\\ldblquote\\rdblquote}", "\x81\x65\x81\x66\x81\x67\x81\x68"},
    {"NoBreakSpace", 1252, "{a\\~b}", "a\xA0" "b"},
    {"WordApostrophe", 1252, "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Calibri;}}\\f0 It\\rquote s}", "It\x92s"},
    {"OptionalHyphenIsNothing", 1252, "{co\\-op}", "coop"},

    // Bytes are in the code page of the font's character set, or the document's.
    {"CyrillicDocumentOnCyrillicSystem", 1251, "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", "\xCF\xF0\xE8"},
    {"CyrillicDocumentOnWesternSystem", 1252, "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", "???"},
    {"WesternDocumentOnCyrillicSystem", 1251, "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80}", "cafe \x88"},
    {"RawBytesConvertAsEscapesDo", 1251, "{\\rtf1\\ansi\\ansicpg1253 \xE1\\'e1}", "??"},
    {"CharsetFontInWesternDocument", 1251,
     "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial CYR;}}\\f0 \\'e9\\f1 \\'e9}", "e\xE9", "f=1"},
    {"AnsiCharsetIsWestern", 1251, "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0\\'80\\'c0}",
     "\x88" "A"},
    {"CharsetOverridesDocument", 1252,
     "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset238 Arial CE;}}\\f1 \\'b3\\f0 \\'e6}",
     "l\xE6"},
    {"FontCodePage", 1251, "{\\rtf1\\ansi{\\fonttbl{\\f3\\cpg1251 Courier;}}\\f3 \\'c0}", "\xC0", "f=3"},
    {"DefaultFontWhenNoneChosen", 1251, "{\\rtf1\\ansi\\deff2{\\fonttbl{\\f2\\fcharset204 Times;}}\\'c0}", "\xC0"},
    {"FontNamesAreNotText", 1252, "{{\\fonttbl{\\f0\\fnil Arial;}\\f1 Times;}x}", "x"},
    {"MacDocument", 1252, "{\\rtf1\\mac \\'d5\\'8e}", "\x92\xE9"},
    {"PcDocument", 1252, "{\\rtf1\\pc \\'82}", "\xE9"},
    {"PcaDocument", 1252, "{\\rtf1\\pca \\'9b}", "\xF8"},
    {"SymbolFontBullet", 1252, "{{\\fonttbl{\\f1\\ftech\\fcharset2 Symbol;}}\\f1\\'b7\\tab}", "\x95\t", "f=1"},
    {"DoubleByteOnItsSystem", 932, "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\x82\xa0}", "\x82\xA0\x82\xA0"},
    {"DoubleByteFromCharsetFont", 932,
     "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f1\\fcharset128 MS Mincho;}}\\f1\\'82\\'a0}", "\x82\xA0", "f=1"},
    {"DoubleByteIsOneCharacter", 1252, "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0x}", "?x"},
    {"DoubleByteEscapedLeadRawTrail", 1251, "{\\rtf1\\ansi\\ansicpg932 \\'82\xA0y}", "?y"},
    {"DoubleByteTrailAcrossControlWord", 1252, "{\\rtf1\\ansi\\ansicpg936 \\'c4\\b\\'e3}", "?", "b"},
    {"LeadByteWithoutTrail", 1252, "{\\rtf1\\ansi\\ansicpg932 \\'82\\par}", "?\n"},
    {"WesternTextOnJapaneseSystem", 932, "{\\rtf1\\ansi\\ansicpg1252 A\\'e9}", "Ae"},

    // "\u": the character, then its fallback dropped.
    {"UnicodeEscape1252", 1252, "{\\u233?}", "\xE9"},
    {"UnicodeEscape1251", 1251, "{\\u1055\\'cf}", "\xCF"},
    {"UnicodeEscape932", 932, "{\\uc2\\u12354\\'82\\'a0}", "\x82\xA0"},
    {"UnicodeEscapeMissingFromTarget", 1252, "{\\u1055?}", "?"},
    {"UnicodeNegative", 932, "{\\u-255?}", "\x81\x49"},
    // Each half of a pair becomes "?", as Windows converts beyond the first plane.
    {"UnicodeSurrogatePair", 1252, "{\\u-10179?\\u-8704?x}", "??x"},
    {"UnicodeLoneHighSurrogate", 1252, "{\\u-10179?x}", "?x"},
    {"FallbackOfTwo", 1252, "{\\uc2\\u233 ab}", "\xE9"},
    {"FallbackOfNone", 1252, "{\\uc0\\u233 x}", "\xE9x"},
    {"FallbackUnitsAreEscapesAndWords", 1252, "{\\uc3\\u233\\'e9\\b\\~x}", "\xE9x"},
    {"FallbackCountScopedToGroup", 1252, "{{\\uc2}\\u233 ab}", "\xE9" "b"},
    {"BraceEndsFallback", 1252, "{\\uc3{\\u233 a}bc}", "\xE9" "bc"},
    {"UnicodeCarriesProperties", 1251, "{\\b\\u1055?}", "\xCF", "b"},

    // Line structure.
    {"LineBreaks", 1252, "{a\\line b\\page c\\sect d\\column e}", "a\nb\nc\nd\ne"},
    // Every \\par is a line end, the document's last one too, as Word reads the
    // last \\par as the mark of the last paragraph. RichEdit writes the end of
    // its text as one more \\par: read as Word reads it, one more empty line.
    {"FinalParIsTheLastParagraphsMark", kEveryCodePage, "{\\rtf1 Last.\\par}", "Last.\n"},
    {"RichEditsEndMarkIsOneMoreParagraph", kEveryCodePage,
     "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}}\r\n{\\*\\generator Wine Riched20 2.0;}\r\n"
     "\\pard\\f0 Last.\\par\r\n\\par\r\n}",
     "Last.\n\n"},
    {"TableRows", 1252, "{\\trowd a\\cell b\\cell\\row\\trowd c\\cell d\\cell\\row}", "a\tb\nc\td\n"},
    {"EmptyCells", 1252, "{\\cell\\cell x\\cell\\row}", "\t\tx\n"},
    {"CellsInGroups", 1252, "{{\\pard\\intbl a\\cell}{\\pard\\intbl b\\cell}\\row}", "a\tb\n"},
    {"NestedTable", 1252,
     "{x\\nestcell y\\nestcell{\\*\\nesttableprops\\trowd\\nestrow}{\\nonesttables\\par}b\\cell c\\cell\\row}",
     "x\ty\nb\tc\n"},

    // What is not shown is not text.
    {"HiddenText", 1252, "{a{\\v hidden}b\\v c\\v0 d}", "abd"},
    {"PlainEndsHiddenText", 1252, "{\\v a\\plain b}", "b"},
    {"FieldInstructionsMarked", 1252, "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}", "link"},
    {"FieldInstructionsUnmarked", 1252, "{\\field{\\fldinst PAGE}{\\fldrslt 1}}", "1"},

    // "\*" marks a destination only right after its brace.
    {"StarMidGroupMarksNothing", 1252, "{\\b\\*\\cs7 text}", "text", "b"},
    {"CharacterStyleIsNoDestination", 1252, "{{\\*\\cs7\\b text}}", "text", "b"},
    {"StarAfterBraceAndLineBreak", 1252, "{{\r\n\\*\\unknown gone}x}", "x"},

    // The document ends where its first group closes.
    {"StrayBraceAfterEnd", 1252, "{\\rtf1 a}}b", "a"},
    {"TextAfterEndNotRead", 1252, "{\\rtf1 a}\\'zz", "a"},
};

// Every underline Word draws reads as underline, and its "0" form ends it as "\\ul0" does.
const TextCase kUnderlineCases[] = {
    {"Dotted", kEveryCodePage, "{\\uld a}", "a", "ul"},
    {"Dash", kEveryCodePage, "{\\uldash a}", "a", "ul"},
    {"DashDot", kEveryCodePage, "{\\uldashd a}", "a", "ul"},
    {"DashDotDot", kEveryCodePage, "{\\uldashdd a}", "a", "ul"},
    {"HeavyWave", kEveryCodePage, "{\\ulhwave a}", "a", "ul"},
    {"LongDash", kEveryCodePage, "{\\ulldash a}", "a", "ul"},
    {"Thick", kEveryCodePage, "{\\ulth a}", "a", "ul"},
    {"ThickDotted", kEveryCodePage, "{\\ulthd a}", "a", "ul"},
    {"ThickDash", kEveryCodePage, "{\\ulthdash a}", "a", "ul"},
    {"ThickDashDot", kEveryCodePage, "{\\ulthdashd a}", "a", "ul"},
    {"ThickDashDotDot", kEveryCodePage, "{\\ulthdashdd a}", "a", "ul"},
    {"ThickLongDash", kEveryCodePage, "{\\ulthldash a}", "a", "ul"},
    {"DoubleWave", kEveryCodePage, "{\\ululdbwave a}", "a", "ul"},
    {"Wave", kEveryCodePage, "{\\ulwave a}", "a", "ul"},
    {"DottedOff", kEveryCodePage, "{\\uld a\\uld0 b}", "ab"},
    {"DashOff", kEveryCodePage, "{\\uldash a\\uldash0 b}", "ab"},
    {"ThickDashDotDotOff", kEveryCodePage, "{\\ulthdashdd a\\ulthdashdd0 b}", "ab"},
    {"DoubleWaveOff", kEveryCodePage, "{\\ululdbwave a\\ululdbwave0 b}", "ab"},
    {"WaveOff", kEveryCodePage, "{\\ulwave a\\ulwave0 b}", "ab"},
    {"OffEndsAnyKind", kEveryCodePage, "{\\ulth a\\ul0 b}", "ab"},
    {"NoneEndsAnyKind", kEveryCodePage, "{\\ulwave a\\ulnone b}", "ab"},
    {"ScopedToGroup", kEveryCodePage, "{{\\ulthd a}b}", "ab"},
    {"WithOtherFaces", kEveryCodePage, "{\\b\\ulldash\\i a}", "a", "b i ul"},
    {"DoubleStaysUnderline", kEveryCodePage, "{\\uldb a}", "a", "ul"},
    {"WordStaysUnderline", kEveryCodePage, "{\\ulw a}", "a", "ul"},
    {"LettersAfterAreNoKind", kEveryCodePage, "{\\ulwavex a}", "a"},
    {"InCyrillicText", 1251, "{\\rtf1\\ansi\\ansicpg1251 \\ulhwave\\'cf}", "\xCF", "ul"},
};

// A field result shows whether or not "\\*" marks it optional.
const TextCase kFieldResultCases[] = {
    {"Marked", kEveryCodePage, "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\*\\fldrslt link}}", "link"},
    {"MarkedWithFaces", kEveryCodePage, "{\\field{\\*\\fldinst PAGE}{\\*\\fldrslt{\\b 7}}}", "7", "b"},
    {"MarkedAfterLineBreak", kEveryCodePage, "{\\field{\\*\\fldinst PAGE}{\r\n\\*\\fldrslt 3}}", "3"},
    {"UnknownInsideStillSkipped", kEveryCodePage, "{{\\*\\fldrslt a{\\*\\zzunknown b}c}}", "ac"},
    {"InstructionsStillHidden", kEveryCodePage, "{\\field{\\*\\fldinst{\\*\\fldrslt x}}{\\*\\fldrslt y}}", "y"},
    {"InsideSkippedStaysSkipped", kEveryCodePage, "{{\\*\\zzunknown{\\*\\fldrslt x}}y}", "y"},
    {"Cyrillic", 1251, "{\\rtf1\\ansi\\ansicpg1251{\\field{\\*\\fldinst A}{\\*\\fldrslt \\'cf}}}", "\xCF"},
    {"DoubleByte", 932, "{\\rtf1\\ansi\\ansicpg932{\\field{\\*\\fldinst A}{\\*\\fldrslt \\'82\\'a0}}}", "\x82\xA0"},
};

// A SYMBOL field with no result shows the character its instruction names,
// in the font it names; a result shows instead, once.
#define SYM(inst) "{\\field{\\*\\fldinst " inst "}{\\fldrslt }}"
const TextCase kSymbolFieldCases[] = {
    {"SymbolFontBullet", 1252, SYM("SYMBOL 183 \\\\f \"Symbol\" \\\\s 10"), "\x95"},
    {"WithoutResultGroup", 1252, "{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\"}}", "\x95"},
    {"ResultShowsOnce", 1252,
     "{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\"}"
     "{\\fldrslt{\\f1\\'b7}}}}",
     "\x95", "f=1"},
    {"TextAround", 1252, "{a" SYM("SYMBOL 66") "c}", "aBc"},
    {"AnsiCodeInTextFont", 1252, SYM("SYMBOL 233"), "\xE9"},
    {"AnsiCodeCyrillic", 1251, "{\\rtf1\\ansi\\ansicpg1251 " SYM("SYMBOL 207") "}", "\xCF"},
    {"UnicodeSwitch", 1252, SYM("SYMBOL 8364 \\\\u"), "\x80"},
    {"UnicodeSwitchCyrillic", 1251, SYM("SYMBOL 1055 \\\\u"), "\xCF"},
    {"SymbolPrivateUseUnquoted", 1252, SYM("SYMBOL 61623 \\\\f Symbol \\\\u"), "\x95"},
    {"SymbolAlphaJapanese", 932, SYM("SYMBOL 97 \\\\f \"Symbol\""), "\x83\xBF"},
    {"WingdingsBullet", 1251, SYM("SYMBOL 159 \\\\f \"Wingdings\" \\\\s 9"), "\x95"},
    {"ShiftJis", 932, SYM("SYMBOL 33440 \\\\j"), "\x82\xA0"},
    {"DoubleByteAnsi", 932, "{\\rtf1\\ansi\\ansicpg932 " SYM("SYMBOL 33440") "}", "\x82\xA0"},
    {"HexNumber", 1252, SYM("symbol 0x41 \\\\h"), "A"},
    {"InstructionInPieces", 1252, "{\\field{\\*\\fldinst {SYMBOL 183 }{\\\\f \"Symbol\"}}{\\fldrslt }}", "\x95"},
    {"FacesOfTheField", 1252, "{\\field\\b{\\*\\fldinst SYMBOL 65}}", "A", "b"},
    {"HiddenFieldStaysHidden", 1252, "{\\v" SYM("SYMBOL 65") "}", ""},
    {"OtherFieldsAddNothing", 1252, SYM("PAGE"), ""},
    {"LongerWordIsNoSymbol", 1252, SYM("SYMBOLS 65"), ""},
    {"BeyondUnicode", 1252, SYM("SYMBOL 99999999"), ""},
    {"NoNumber", 1252, SYM("SYMBOL \\\\f \"Symbol\""), ""},
    {"Surrogate", 1252, SYM("SYMBOL 55357 \\\\u"), ""},
    {"LongInstructionKeepsItsStart", 1252,
     SYM("SYMBOL 65                                                                                    "
         "                                                                                \\\\f \"Symbol\""),
     "A"},
};
#undef SYM

// "\upr" holds one text twice; only its "\ud" branch is read.
const TextCase kUprCases[] = {
    {"UnicodeBranchOnly", kEveryCodePage, "{\\upr{ansi}{\\*\\ud{uni}}}", "uni"},
    {"TextAroundResumes", kEveryCodePage, "{a{\\upr{x}{\\*\\ud{y}}}b}", "ayb"},
    {"UnmarkedUnicodeBranch", kEveryCodePage, "{\\upr{x}{\\ud{y}}}", "y"},
    {"FacesOfUnicodeBranch", kEveryCodePage, "{\\upr{\\i x}{\\*\\ud{\\b y}}}", "y", "b"},
    {"BareTextOfAnsiBranchDropped", kEveryCodePage, "{\\upr x{\\*\\ud y}z}", "y"},
    {"EverythingOfAnsiBranchDropped", kEveryCodePage, "{{\\upr{a\\'e9\\u233?\\par\\tab\\bullet\\cell}{\\*\\ud{b}}}c}", "bc"},
    {"UnicodeBranchCyrillic", 1251, "{\\rtf1\\ansi\\ansicpg1251{\\upr{\\'c0}{\\*\\ud{\\u1055\\'cf}}}}", "\xCF"},
    {"UnicodeBranchJapanese", 932, "{\\rtf1\\ansi\\ansicpg932{\\upr{x}{\\*\\ud{\\uc2\\u12354\\'82\\'a0}}}}",
     "\x82\xA0"},
    {"UnicodeBranchAlone", kEveryCodePage, "{{\\*\\ud y}z}", "yz"},
    // In the font table the ANSI branch names the fonts.
    {"FontTableKeepsAnsiBranch", 1251,
     "{\\rtf1{\\fonttbl{\\upr{\\f1\\fcharset204 Arial;}{\\*\\ud{\\f1\\fcharset0 Arial;}}}}\\f1\\'cf}", "\xCF", "f=1"},
};

// "\deff" is the font of text that names none and the one "\plain" returns
// to: its code page reads the bytes, though the records keep font 0.
#define TWO_FONTS "{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Times;}}"
const TextCase kDefaultFontCases[] = {
    {"DefaultOverFontZero", 1251, "{\\rtf1\\ansi\\ansicpg1252\\deff1" TWO_FONTS "\\'cf}", "\xCF"},
    {"DefaultBeforeTable", 1252, "{\\rtf1\\ansi\\deff1" TWO_FONTS "A\\'cf}", "A?"},
    {"NamedFontZeroOverDefault", 1252, "{\\rtf1\\ansi\\deff1" TWO_FONTS "\\f0\\'cf}", "\xCF"},
    {"PlainReturnsToDefault", 1251, "{\\rtf1\\ansi\\ansicpg1251\\deff1" TWO_FONTS "\\f0 a\\b\\plain\\'cf}", "a\xCF"},
    {"PlainReturnsToDefaultWestern", 1252, "{\\rtf1\\ansi\\deff1" TWO_FONTS "\\f0\\'cf\\plain\\'cf}", "\xCF?"},
    {"GroupEndRestoresDefault", 1252, "{\\rtf1\\ansi\\deff1" TWO_FONTS "{\\f0\\'cf}\\'cf}", "\xCF?"},
    {"GroupEndRestoresNamedFont", 1252, "{\\rtf1\\ansi\\deff1" TWO_FONTS "\\f0{\\plain\\'cf}\\'cf}", "?\xCF"},
    // Runs of text take the same path as escapes: font 0, named or not, is
    // told apart from the default font whichever the reader met first.
    {"PlainReturnsToDefaultInText", 1252, "{\\rtf1\\ansi\\deff1" TWO_FONTS "\\f0 \xCF\\plain \xCF}", "\xCF?"},
    {"NamedFontZeroAfterDefaultInText", 1252, "{\\rtf1\\ansi\\deff1" TWO_FONTS "\xCF\\f0 \xCF}", "?\xCF"},
    {"GroupEndRestoresDefaultInText", 1252, "{\\rtf1\\ansi\\deff1" TWO_FONTS "{\\f0 \xCF}\xCF}", "\xCF?"},
    {"DefaultPassesWhereFontZeroDoesNot", 1251,
     "{\\rtf1\\ansi\\ansicpg1251\\deff1" TWO_FONTS "\xCF\\f0 \xCF\\plain \xCF}", "\xCFI\xCF"},
    {"RecordsKeepNamedNumber", 1251, "{\\rtf1\\ansi\\deff0" TWO_FONTS "\\f1\\'cf}", "\xCF", "f=1"},
    {"DefaultZeroAsBefore", 1251,
     "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset204 Times;}{\\f1\\fcharset0 Arial;}}\\'cf}", "\xCF"},
    {"DefaultDoubleByte", 932,
     "{\\rtf1\\ansi\\ansicpg1252\\deff1{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset128 MS Mincho;}}\\'82\\'a0}",
     "\x82\xA0"},
    {"DefaultDoubleByteAfterPlain", 932,
     "{\\rtf1\\ansi\\ansicpg1252\\deff1{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset128 MS Mincho;}}\\f0 x"
     "\\plain\\'82\\'a0}",
     "x\x82\xA0"},
};
#undef TWO_FONTS

// "\chftn" shows the automatic number of the note that follows it: footnotes
// and endnotes ("\ftnalt") are counted apart, in the formats the document sets.
#define FTN(text) "\\chftn{\\footnote\\pard {\\super\\chftn} " text "}"
#define ENT(text) "\\chftn{\\footnote\\ftnalt\\pard {\\super\\chftn} " text "}"
const TextCase kNoteMarkCases[] = {
    {"Footnotes", kEveryCodePage, "{a" FTN("x") "b" FTN("y") "c}", "a1b2c"},
    // Within the last bytes of the input the general scanner reads the word.
    {"MarkAtEnd", kEveryCodePage, "{a\\chftn}", "a1"},
    {"EndnoteAtEnd", kEveryCodePage, "{\\chftn{\\footnote\\ftnalt}}", "i"},
    {"EndnotesLowerRoman", kEveryCodePage, "{a" ENT("x") "b" ENT("y") "c" ENT("z") ENT("w") "}", "aibiiciiiiv"},
    {"CountedApart", kEveryCodePage, "{" FTN("x") ENT("y") FTN("z") ENT("w") "}", "1i2ii"},
    {"WordsForm", kEveryCodePage,
     "{\\rtf1 Text{\\cs15\\super \\chftn {\\footnote \\ltrpar \\pard\\plain {\\cs15\\super \\chftn } Note.}}.}", "Text1.",
     ""},
    {"MarkHasItsFaces", kEveryCodePage, "{{\\super\\chftn{\\footnote x}}}", "1", "super"},
    {"StarredNote", kEveryCodePage, "{\\chftn{\\*\\footnote\\ftnalt x}}", "i"},
    {"EndnoteWordAfterText", kEveryCodePage, "{\\chftn{\\footnote\\pard x\\ftnalt}}", "i"},
    {"EndnoteWordInInnerGroupOnly", kEveryCodePage, "{\\chftn{\\footnote{\\ftnalt}x}}", "1"},
    {"EscapedTextIsNoWord", kEveryCodePage, "{\\chftn{\\footnote x \\\\ftnalt}}", "1"},
    {"LongerWordIsNoEndnote", kEveryCodePage, "{\\chftn{\\footnote\\ftnaltx y}}", "1"},
    {"BraceEscapesKeepDepth", kEveryCodePage, "{\\chftn{\\footnote x\\}\\ftnalt}}", "i"},
    {"NoNoteFollows", kEveryCodePage, "{a\\chftn b\\chftn}", "a1b2"},
    {"MarkInItsOwnGroup", kEveryCodePage, "{a{\\super\\chftn}{\\footnote\\ftnalt x}b{\\super\\chftn}{\\*\\footnote y}}", "aib1", "super"},
    {"MarkInNestedGroups", kEveryCodePage, "{{\\super{\\chftn}} {\\footnote\\ftnalt x}}", "i ", ""},
    {"GroupAfterMarkIsNoNote", kEveryCodePage, "{{\\chftn}{\\b x}{\\footnote\\ftnalt y}}", "1x", "b"},
    {"FootnoteArabic", kEveryCodePage, "{\\ftnnrlc\\ftnnar" FTN("x") "}", "1"},
    {"FootnoteLowerAlpha", kEveryCodePage, "{\\ftnnalc" FTN("x") FTN("y") "}", "ab"},
    {"FootnoteUpperAlpha", kEveryCodePage, "{\\ftnnauc" FTN("x") FTN("y") "}", "AB"},
    {"FootnoteLowerRoman", kEveryCodePage, "{\\ftnnrlc" FTN("x") FTN("y") "}", "iii"},
    {"FootnoteUpperRoman", kEveryCodePage, "{\\ftnnruc" FTN("x") FTN("y") "}", "III"},
    {"EndnoteArabic", kEveryCodePage, "{\\aftnnar" ENT("x") ENT("y") "}", "12"},
    {"EndnoteLowerAlpha", kEveryCodePage, "{\\aftnnalc" ENT("x") ENT("y") "}", "ab"},
    {"EndnoteUpperAlpha", kEveryCodePage, "{\\aftnnauc" ENT("x") ENT("y") "}", "AB"},
    {"EndnoteLowerRoman", kEveryCodePage, "{\\aftnnar\\aftnnrlc" ENT("x") ENT("y") "}", "iii"},
    {"EndnoteUpperRoman", kEveryCodePage, "{\\aftnnruc" ENT("x") ENT("y") "}", "III"},
    {"FootnoteChicago1252", 1252, "{\\ftnnchi" FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") "}",
     "*\x86\x87\xA7**\x86\x86\x87\x87\xA7\xA7"},
    {"EndnoteChicago1251", 1251, "{\\aftnnchi" ENT("") ENT("") ENT("") ENT("") ENT("") "}", "*\x86\x87\xA7**"},
    {"FootnoteChicago932", 932, "{\\ftnnchi" FTN("") FTN("") FTN("") FTN("") "}", "*\x81\xF5\x81\xF6\x81\x98"},
    {"FormatsApart", kEveryCodePage, "{\\ftnnauc\\aftnnar" FTN("x") ENT("y") "}", "A1"},
    {"AlphaPastZ", kEveryCodePage,
     "{\\ftnnalc" FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("")
         FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("")
             FTN("") "|" FTN("") FTN("") "}",
     "abcdefghijklmnopqrstuvwxyz|aabb"},
    {"RomanNine", kEveryCodePage,
     "{\\ftnnruc" FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") FTN("") "|" FTN("") FTN("") "}",
     "IIIIIIIVVVIVIIVIII|IXX"},
    {"Cyrillic", 1251, "{\\rtf1\\ansi\\ansicpg1251 \\'cf" ENT("x") "}", "\xCFi"},
    {"Japanese", 932, "{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0" FTN("x") "}", "\x82\xA0" "1"},
};
#undef FTN
#undef ENT

class ReaderText : public ::testing::TestWithParam<TextCase> {
  protected:
    void TearDown() override { useAnsiCodePage(1252); }
};

void checkText(const TextCase& c) {
    const Parsed parsed = parseBounded(c.rtf);
    EXPECT_EQ(parsed.ec, ecNoError) << szEcName(parsed.ec);
    EXPECT_EQ(parsed.text(), c.text);
    if (!parsed.chars.empty()) {
        EXPECT_EQ(describe(parsed.chars.back()), c.props);
    }

    // Delivered a run at a time, the same bytes come.
    std::string runs;
    auto collect = [](const char* pch, std::size_t cch, void* data, const doc_prop&, const sect_prop&,
                      const para_prop&, const char_prop&) -> std::int32_t {
        static_cast<std::string*>(data)->append(pch, cch);
        return 0;
    };
    EXPECT_EQ(ecRtfParseText(c.rtf.data(), c.rtf.size(), collect, &runs), ecNoError);
    EXPECT_EQ(runs, c.text);
}

TEST_P(ReaderText, DeliversTheTextInTheAnsiCodePage) {
    const TextCase& c = GetParam();
    if (c.acp != kEveryCodePage) {
        if (!useAnsiCodePage(c.acp)) GTEST_SKIP() << "the ANSI code page here is not " << c.acp;
        checkText(c);
        return;
    }
#ifdef _WIN32
    SCOPED_TRACE("code page " + std::to_string(GetACP()));
    checkText(c);
#else
    for (unsigned cp : kCodePages) {
        SCOPED_TRACE("code page " + std::to_string(cp));
        useAnsiCodePage(cp);
        checkText(c);
    }
#endif
}

std::string caseName(const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); }

INSTANTIATE_TEST_SUITE_P(Cases, ReaderText, ::testing::ValuesIn(kCases), caseName);
INSTANTIATE_TEST_SUITE_P(Underlines, ReaderText, ::testing::ValuesIn(kUnderlineCases), caseName);
INSTANTIATE_TEST_SUITE_P(FieldResults, ReaderText, ::testing::ValuesIn(kFieldResultCases), caseName);
INSTANTIATE_TEST_SUITE_P(SymbolFields, ReaderText, ::testing::ValuesIn(kSymbolFieldCases), caseName);
INSTANTIATE_TEST_SUITE_P(UnicodeBranches, ReaderText, ::testing::ValuesIn(kUprCases), caseName);
INSTANTIATE_TEST_SUITE_P(DefaultFont, ReaderText, ::testing::ValuesIn(kDefaultFontCases), caseName);
INSTANTIATE_TEST_SUITE_P(NoteMarks, ReaderText, ::testing::ValuesIn(kNoteMarkCases), caseName);

// A byte that a stopped parse left waiting for its trail byte, or a cell's
// tab, does not reach the next parse.
TEST(ReaderTextState, NothingPendingCrossesParses) {
    if (!useAnsiCodePage(1252)) GTEST_SKIP() << "the ANSI code page here is not 1252";
    ASSERT_EQ(parseBounded("{\\rtf1\\ansi\\ansicpg932 \\'82").ec, ecOpenGroupAtEnd);
    EXPECT_EQ(parseBounded("{x}").text(), "x");
    ASSERT_EQ(parseBounded("{a\\cell").ec, ecOpenGroupAtEnd);
    EXPECT_EQ(parseBounded("{x}").text(), "x");
    ASSERT_EQ(parseBounded("{\\uc5\\u233").ec, ecOpenGroupAtEnd);
    EXPECT_EQ(parseBounded("{xy}").text(), "xy");
}

// Fonts beyond what any document needs are refused, not stored.
TEST(ReaderTextState, ManyFontsStayBounded) {
    if (!useAnsiCodePage(1251)) GTEST_SKIP() << "the ANSI code page here is not 1251";
    std::string rtf = "{{\\fonttbl";
    for (int i = 0; i < 10000; ++i) rtf += "{\\f" + std::to_string(i) + "\\fcharset204 F;}";
    rtf += "}\\f5 \\'c0\\f9999 \\'c0}";
    const Parsed parsed = parseBounded(rtf);
    EXPECT_EQ(parsed.ec, ecNoError);
    // The font the table had no room for is read in the document's 1252, where 0xC0 is A grave.
    EXPECT_EQ(parsed.text(), "\xC0" "A");
    useAnsiCodePage(1252);
}

// The characters the ANSI code page lacks are told after their fallbacks,
// whether a "\u" escape names them or a font's own code page holds them;
// characters the code page holds are never told.
TEST(ReaderForeign, TellsOfEveryCharacterTheCodePageLacks) {
    const struct {
        const char* name;
        unsigned cp;
        std::string rtf;
        const char* text;  // null where the fallbacks are the system's best fit, which differs between systems
        std::vector<std::pair<std::size_t, std::uint32_t>> foreign;
    } cases[] = {
        {"escapes", 1252, "{\\rtf1\\uc1 a\\u233?\\u20013?\\u-10179?\\u-8704?}", nullptr, {{2, 0x4E2D}, {3, 0x1F600}}},
        {"a Cyrillic font on a Western system", 1252,
         "{\\rtf1{\\fonttbl{\\f1\\fcharset204 Arial;}}\\f1 \\'cf\\'e0 x}", "?? x", {{0, 0x41F}, {1, 0x430}}},
        {"the same on a Cyrillic system", 1251, "{\\rtf1{\\fonttbl{\\f1\\fcharset204 Arial;}}\\f1 \\'cf\\'e0}",
         "\xCF\xE0", {}},
        {"a Symbol font", 1252, "{\\rtf1{\\fonttbl{\\f2\\fcharset2 Symbol;}}\\f2 a}", nullptr, {{0, 0x3B1}}},
        {"a Cyrillic font on a Japanese system", 932, "{\\rtf1{\\fonttbl{\\f1\\fcharset204 Arial;}}\\f1 \\'cf\\'e0 x}",
         "\x84\x50\x84\x70 x", {}},
        {"escapes on a Japanese system", 932, "{\\rtf1\\uc1 a\\u20013?\\u1055?\\u-10179?\\u-8704?}", nullptr, {{5, 0x1F600}}},
    };
    int checked = 0;
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        if (!useAnsiCodePage(tc.cp)) continue;  // told below when no case is of this code page
        ++checked;
        Told told;
        EXPECT_EQ(ecRtfParseText(tc.rtf.data(), tc.rtf.size(), appendText, noteForeign, &told), ecNoError);
        if (tc.text != nullptr) {
            EXPECT_EQ(told.text, tc.text);
        }
        EXPECT_EQ(rtftest::positionsOf(told.foreign), tc.foreign);
    }
    useAnsiCodePage(1252);
    if (checked == 0) GTEST_SKIP() << "no case is of this ANSI code page";
}

}  // namespace

namespace {

// Symbol and Wingdings glyphs read as the characters they show, whether a
// byte of the font or a private-use "\u" (U+F000 plus the byte) names them.
// Characters the code page lacks are checked by what the foreign callback
// is told, not by their fallbacks.
#define GLYPH_FONTS                                                                                   \
    "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset2 Wingdings;}" \
    "{\\f3\\fnil\\fcharset2 Wingdings 2;}}"
TEST(ReaderGlyphs, DeliversWhatTheFontShows) {
    const struct {
        const char* name;
        unsigned cp;
        std::string rtf;
        const char* text;  // null where the code page lacks a character
        std::vector<std::pair<std::size_t, std::uint32_t>> foreign;
    } cases[] = {
        {"Symbol bullet", 1252, "{\\rtf1" GLYPH_FONTS "\\f1\\u61623\\'b7}", "\x95", {}},
        {"Symbol bullet as negative", 1252, "{\\rtf1" GLYPH_FONTS "\\f1\\u-3913?}", "\x95", {}},
        {"Symbol bullet, Cyrillic system", 1251, "{\\rtf1" GLYPH_FONTS "\\f1\\u61623?}", "\x95", {}},
        {"Symbol alpha, Japanese system", 932, "{\\rtf1" GLYPH_FONTS "\\f1\\u61537?}", "\x83\xBF", {}},
        {"Symbol alpha, Western system", 1252, "{\\rtf1" GLYPH_FONTS "\\f1\\u61537?}", nullptr, {{0, 0x3B1}}},
        {"Symbol through the default font", 1252, "{\\rtf1\\deff1" GLYPH_FONTS "\\u61623?}", "\x95", {}},
        {"Private use outside symbol fonts", 1252, "{\\rtf1" GLYPH_FONTS "\\f0\\u61623?}", nullptr, {{0, 0xF0B7}}},
        {"Private use beyond the glyphs", 1252, "{\\rtf1" GLYPH_FONTS "\\f1\\u61440?}", nullptr, {{0, 0xF000}}},
        {"Wingdings bytes", 1252, "{\\rtf1" GLYPH_FONTS "\\f2\\'9f\\'a7\\'d8\\'fc}", nullptr,
         {{1, 0x25AA}, {2, 0x27A2}, {3, 0x2713}}},
        {"Wingdings escapes", 1252, "{\\rtf1" GLYPH_FONTS "\\f2\\u61599?\\u61607?\\u61656?\\u61692?}", nullptr,
         {{1, 0x25AA}, {2, 0x27A2}, {3, 0x2713}}},
        {"Wingdings bullet, Cyrillic system", 1251, "{\\rtf1" GLYPH_FONTS "\\f2\\'9f\\u61599?}", "\x95\x95", {}},
        {"Wingdings bytes within text", 1252, "{\\rtf1" GLYPH_FONTS "\\f2 x\xA7y\\'9f}", nullptr, {{1, 0x25AA}}},
        {"Wingdings other bytes as before", 1252, "{\\rtf1" GLYPH_FONTS "\\f2 A\\'e9}", "A\xE9", {}},
        {"Wingdings 2 is another font", 1252, "{\\rtf1" GLYPH_FONTS "\\f3\\'a7\\'9f}", "\xA7\x9F", {}},
        {"Wingdings after its group", 1252, "{\\rtf1" GLYPH_FONTS "{\\f2\\'9f}\\'9f}", "\x95\x9F", {}},
        {"Symbol alpha, Cyrillic system", 1251, "{\\rtf1" GLYPH_FONTS "\\f1\\u61537?}", nullptr, {{0, 0x3B1}}},
        {"Symbol bullet, Japanese system", 932, "{\\rtf1" GLYPH_FONTS "\\f1\\u61623\\'b7}", nullptr, {{0, 0x2022}}},
        {"Wingdings bytes, Japanese system", 932, "{\\rtf1" GLYPH_FONTS "\\f2\\'9f\\'a7\\'d8\\'fc}", nullptr,
         {{0, 0x2022}, {1, 0x25AA}, {2, 0x27A2}, {3, 0x2713}}},
        {"Wingdings other bytes, Japanese system", 932, "{\\rtf1" GLYPH_FONTS "\\f2 A\\'e9}", nullptr, {{1, 0xE9}}},
    };
    int checked = 0;
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        if (!useAnsiCodePage(tc.cp)) continue;  // told below when no case is of this code page
        ++checked;
        Told told;
        EXPECT_EQ(ecRtfParseText(tc.rtf.data(), tc.rtf.size(), appendText, noteForeign, &told), ecNoError);
        EXPECT_EQ(rtftest::positionsOf(told.foreign), tc.foreign);
        // A character at a time, the same bytes come.
        const Parsed parsed = parseBounded(tc.rtf);
        EXPECT_EQ(parsed.text(), told.text);
        if (tc.text != nullptr) {
            EXPECT_EQ(told.text, tc.text);
        }
    }
    useAnsiCodePage(1252);
    if (checked == 0) GTEST_SKIP() << "no case is of this ANSI code page";
}
#undef GLYPH_FONTS

}  // namespace
