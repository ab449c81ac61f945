#include "windows/richedit_rules.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "windows/reading_compare.h"
#include "windows/rtf_marks.h"

namespace realworld {

namespace {

const char kLineAsSpace[] = "RichEdit gives \\line as a space";
const char kTableMarks[] = "RichEdit ends a cell with TAB and a row with CR LF";
const char kDropsResults[] = "RichEdit drops field results";
const char kShowsHidden[] = "RichEdit shows hidden text";
// Followed by the numbers the document's notes show, in order, as its reader
// numbers them ("RichEdit drops note numbers: 1 2").
const char kDropsNoteNumbers[] = "RichEdit drops note numbers:";
// Followed by the characters the fields show, in UTF-8, in order.
const char kDropsSymbols[] = "RichEdit shows nothing of a SYMBOL field without a result:";
const char kOtherUnderlines[] = "RichEdit shows no underline of the kinds it lacks (dash, wave, thick)";
const char kNoFinalMark[] = "RichEdit ends the document without a paragraph mark";
// RichEdit's reading is set aside for DOCUMENT.expected.txt beside the
// document: its text written by hand in UTF-8, a line end for each paragraph
// mark, made bytes of the session's code page as RichEdit's text is.
const char kTextByHand[] = "RichEdit's reading cannot be mended: the text written by hand";

std::string trim(const std::string& s) {
    const size_t from = s.find_first_not_of(" \t\r");
    if (from == std::string::npos) return "";
    return s.substr(from, s.find_last_not_of(" \t\r") - from + 1);
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

void erase(Mended& m, size_t at, size_t count) {
    m.text.erase(at, count);
    m.attributes.erase(m.attributes.begin() + static_cast<std::ptrdiff_t>(at),
                       m.attributes.begin() + static_cast<std::ptrdiff_t>(at + count));
    m.judged.erase(m.judged.begin() + static_cast<std::ptrdiff_t>(at),
                   m.judged.begin() + static_cast<std::ptrdiff_t>(at + count));
}

// Inserts text RichEdit did not show: its formats are not judged.
void insert(Mended& m, size_t at, const std::string& text) {
    m.text.insert(at, text);
    m.attributes.insert(m.attributes.begin() + static_cast<std::ptrdiff_t>(at), text.size(), Attributes());
    m.judged.insert(m.judged.begin() + static_cast<std::ptrdiff_t>(at), text.size(), false);
}

// Rows as RichEdit gives them: CR LF before a row's first cell, TAB after
// each cell, CR LF after the row. The plug-in gives a tab between cells and a
// line end after a row. Within a row every TAB is taken for a cell's mark,
// whose format is the cell's own in RichEdit and the text's in the plug-in:
// it is not judged.
int mendTables(Mended& m) {
    int changes = 0, depth = 0;
    for (size_t i = 0; i + 1 < m.text.size();) {
        if (m.text[i] == '\r' && m.text[i + 1] == '\n') {
            ++changes;
            // A row starts after a paragraph mark or another row, never after a cell.
            if (i > 0 && m.text[i - 1] == '\t') {
                erase(m, i - 1, 2);  // the last cell's TAB and the CR of CR LF leave one line end
                m.text[i - 1] = '\r';
                m.judged[i - 1] = false;
                depth = depth > 0 ? depth - 1 : 0;
            } else {
                erase(m, i, 2);
                ++depth;
            }
            continue;
        }
        if (depth > 0 && m.text[i] == '\t') m.judged[i] = false;
        ++i;
    }
    return changes;
}

struct Place {
    size_t at = 0;
    bool found = false;
};

// Where `before` matches `text` from `start`: kAnyCharacter matches one
// character of the session's code page, one or two bytes.
size_t matchEnd(const std::string& text, size_t start, const std::string& before) {
    size_t at = start;
    for (char c : before) {
        if (at >= text.size()) return std::string::npos;
        if (c == kAnyCharacter) {
            at += IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
        } else if (text[at++] != c) {
            return std::string::npos;
        }
    }
    return at;
}

// The place right after the first match of `before` in `text` that ends at
// `from` or later.
Place placeAfter(const std::string& text, size_t from, const std::string& before) {
    Place p;
    if (before.empty()) return p;
    for (size_t start = 0; start < text.size(); ++start) {
        const size_t end = matchEnd(text, start, before);
        if (end != std::string::npos && end >= from) {
            p.at = end;
            p.found = true;
            return p;
        }
    }
    return p;
}

std::string printableContext(const std::string& before) {
    std::string out;
    for (char c : before)
        out += c == kAnyCharacter ? std::string("<any>") : c == '\r' ? std::string("\\r") : std::string(1, c);
    return out;
}

const char* ruleOf(RtfMark::Kind kind) {
    switch (kind) {
        case RtfMark::kLineBreak:
            return kLineAsSpace;
        case RtfMark::kHidden:
            return kShowsHidden;
        case RtfMark::kFieldResult:
            return kDropsResults;
        case RtfMark::kNoteNumber:
            return kDropsNoteNumbers;
        case RtfMark::kOtherUnderline:
            return kOtherUnderlines;
        case RtfMark::kSymbolField:
            return kDropsSymbols;
        case RtfMark::kKinds:
            break;
    }
    return "";
}

// Mends the places the scan of the document finds, in the order they show,
// for the kinds whose rules are listed; counts the changes of each rule.
bool mendMarks(const std::string& rtf, const std::vector<std::string>& noteNumbers,
               const std::vector<std::string>& symbols, const std::vector<bool>& listed, Mended& m,
               std::vector<int>& changes, std::string& error) {
    size_t from = 0, note = 0, symbol = 0;
    for (const RtfMark& mark : scanMarks(rtf)) {
        const int kind = static_cast<int>(mark.kind);
        if (!listed[static_cast<size_t>(kind)]) continue;
        const Place p = placeAfter(m.text, from, mark.before);
        const std::string where =
            std::string(ruleOf(mark.kind)) + ": the place after \"" + printableContext(mark.before) + "\"";
        if (!p.found) {
            error += where + " is not in RichEdit's text\n";
            return false;
        }
        if (!mark.ascii) {
            error += where + " holds \"" + mark.text + "\", beyond ASCII: write the text by hand\n";
            return false;
        }
        switch (mark.kind) {
            case RtfMark::kLineBreak:
                if (p.at >= m.text.size() || m.text[p.at] != ' ') {
                    error += where + " has no space\n";
                    return false;
                }
                m.text[p.at] = '\r';
                from = p.at + 1;
                break;
            case RtfMark::kHidden:
                if (m.text.compare(p.at, mark.text.size(), mark.text) != 0) {
                    error += where + " does not show \"" + mark.text + "\"\n";
                    return false;
                }
                erase(m, p.at, mark.text.size());
                from = p.at;
                break;
            case RtfMark::kOtherUnderline:
                if (m.text.compare(p.at, mark.text.size(), mark.text) != 0) {
                    error += where + " does not show \"" + mark.text + "\"\n";
                    return false;
                }
                for (size_t i = p.at; i < p.at + mark.text.size(); ++i) m.attributes[i].flags |= Attributes::kUnderline;
                from = p.at;  // the text stays, and the next mark may find its place within it
                break;
            case RtfMark::kKinds:
                break;
            case RtfMark::kFieldResult:
                insert(m, p.at, mark.text);
                from = p.at + mark.text.size();
                break;
            case RtfMark::kSymbolField:
                if (symbol >= symbols.size()) {
                    error += where + ": more fields than the rule has characters\n";
                    return false;
                }
                insert(m, p.at, symbols[symbol]);
                from = p.at + symbols[symbol].size();
                ++symbol;
                break;
            case RtfMark::kNoteNumber:
                if (note >= noteNumbers.size()) {
                    error += where + ": more notes than the rule numbers\n";
                    return false;
                }
                insert(m, p.at, noteNumbers[note]);
                from = p.at + noteNumbers[note].size();
                ++note;
                break;
        }
        ++changes[static_cast<size_t>(kind)];
    }
    if (symbol != symbols.size()) {
        error += std::string(kDropsSymbols) + " has " + std::to_string(symbols.size()) +
                 " characters, the document " + std::to_string(symbol) + " fields\n";
        return false;
    }
    if (note != noteNumbers.size()) {
        error += std::string(kDropsNoteNumbers) + " numbers " + std::to_string(noteNumbers.size()) +
                 " notes, the document has " + std::to_string(note) + "\n";
        return false;
    }
    return true;
}

// The text written by hand, made bytes of the session's code page; the
// attributes are RichEdit's where the two texts pair, and not judged elsewhere.
bool mendByHand(const std::string& path, Mended& m, std::string& error) {
    std::wstring wide;
    if (!readTextByHand(path, wide)) {
        error += std::string(kTextByHand) + ": cannot read " + path + "\n";
        return false;
    }
    const Reading byHand = toAnsi(wide, std::vector<Attributes>(wide.size()));
    Mended out;
    out.text = byHand.text;
    out.attributes.assign(out.text.size(), Attributes());
    out.judged.assign(out.text.size(), false);
    std::string how;
    for (const auto& p : align(out.text, m.text, how)) {
        out.attributes[p.first] = m.attributes[p.second];
        // RichEdit's line ends and tabs may be its marks of rows and cells.
        const char c = out.text[p.first];
        out.judged[p.first] = m.judged[p.second] && c != '\r' && c != '\t';
    }
    const bool changed = out.text != m.text;
    m = out;
    return changed;
}

}  // namespace

bool readTextByHand(const std::string& path, std::wstring& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    text.assign(utf8.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                        &text[0], static_cast<int>(text.size()))));
    for (wchar_t& c : text)
        if (c == L'\n') c = L'\r';
    return true;
}

std::vector<std::string> rulesFor(const std::vector<RuleLine>& lines, const std::string& document,
                                  const std::string& locale) {
    std::vector<std::string> out;
    for (const RuleLine& r : lines)
        if (r.document == document && (r.locale == "*" || r.locale == locale)) out.push_back(r.rule);
    return out;
}

bool usesTextByHand(const std::vector<std::string>& rules) {
    for (const std::string& r : rules)
        if (r == kTextByHand) return true;
    return false;
}

Mended unmended(const Reading& r) {
    Mended m;
    m.text = r.text;
    m.attributes = r.attributes;
    m.attributes.resize(m.text.size());
    m.judged.assign(m.text.size(), true);
    return m;
}

const std::vector<std::string>& ruleNames() {
    static const std::vector<std::string> names = {kTextByHand,   kTableMarks,       kLineAsSpace,     kShowsHidden,
                                                   kDropsResults, kDropsNoteNumbers, kDropsSymbols,    kOtherUnderlines,
                                                   kNoFinalMark};
    return names;
}

std::vector<RuleLine> readRules(const std::string& path, std::string& error) {
    std::vector<RuleLine> rules;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return rules;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        const size_t a = line.find('|'), b = a == std::string::npos ? a : line.find('|', a + 1);
        if (b == std::string::npos) {
            error += "line " + std::to_string(number) + " is not \"document | locale | rule\"\n";
            continue;
        }
        RuleLine r{trim(line.substr(0, a)), trim(line.substr(a + 1, b - a - 1)), trim(line.substr(b + 1)), number};
        bool known = false;
        for (const std::string& name : ruleNames())
            known = known || r.rule == name || (startsWith(r.rule, name) && name.back() == ':');
        if (!known) {
            error += "line " + std::to_string(number) + " names no rule: \"" + r.rule + "\"\n";
            continue;
        }
        rules.push_back(r);
    }
    return rules;
}

bool applyRules(const std::vector<std::string>& rules, const std::string& rtf, const std::string& expectedPath,
                Mended& m, std::string& error) {
    // The rules apply in one order whatever the order of the list: the ones
    // that find their places by the text around them after the tables are
    // mended, and the final mark last.
    std::vector<bool> listed(RtfMark::kKinds, false);
    std::vector<std::string> noteNumbers, symbols;
    bool tables = false, finalMark = false, byHand = false;
    for (const std::string& r : rules) {
        if (r == kTableMarks) {
            tables = true;
        } else if (r == kNoFinalMark) {
            finalMark = true;
        } else if (r == kTextByHand) {
            byHand = true;
        } else if (r == kLineAsSpace) {
            listed[RtfMark::kLineBreak] = true;
        } else if (r == kShowsHidden) {
            listed[RtfMark::kHidden] = true;
        } else if (r == kDropsResults) {
            listed[RtfMark::kFieldResult] = true;
        } else if (r == kOtherUnderlines) {
            listed[RtfMark::kOtherUnderline] = true;
        } else if (startsWith(r, kDropsSymbols)) {
            // Each character in the session's code page, as RichEdit's text is.
            listed[RtfMark::kSymbolField] = true;
            std::istringstream characters(r.substr(sizeof kDropsSymbols - 1));
            for (std::string c; characters >> c;) {
                std::wstring wide(c.size(), L'\0');
                wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, c.data(), static_cast<int>(c.size()),
                                                                    &wide[0], static_cast<int>(wide.size()))));
                symbols.push_back(toAnsi(wide, std::vector<Attributes>(wide.size())).text);
            }
        } else if (startsWith(r, kDropsNoteNumbers)) {
            listed[RtfMark::kNoteNumber] = true;
            std::istringstream numbers(r.substr(sizeof kDropsNoteNumbers - 1));
            for (std::string n; numbers >> n;) noteNumbers.push_back(n);
        }
    }
    bool ok = true;
    if (byHand && !mendByHand(expectedPath, m, error)) {
        error += std::string(kTextByHand) + ": changes nothing\n";
        ok = false;
    }
    if (tables && mendTables(m) == 0) {
        error += std::string(kTableMarks) + ": changes nothing\n";
        ok = false;
    }
    std::vector<int> changes(RtfMark::kKinds, 0);
    if (!mendMarks(rtf, noteNumbers, symbols, listed, m, changes, error)) return false;
    for (size_t k = 0; k < listed.size(); ++k) {
        if (listed[k] && changes[k] == 0) {
            error += std::string(ruleOf(static_cast<RtfMark::Kind>(k))) + ": changes nothing\n";
            ok = false;
        }
    }
    if (finalMark) insert(m, m.text.size(), "\r");
    return ok;
}

}  // namespace realworld
