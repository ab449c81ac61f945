#include "windows/rtf_marks.h"

#include <cctype>
#include <cstdlib>

namespace realworld {

namespace {

// Groups whose text never shows, whether or not "\*" marks them.
const char* const kHiddenDestinations[] = {"fonttbl",
                                           "colortbl",
                                           "stylesheet",
                                           "info",
                                           "fldinst",
                                           "pict",
                                           "footnote",
                                           "header",
                                           "headerl",
                                           "headerr",
                                           "headerf",
                                           "footer",
                                           "footerl",
                                           "footerr",
                                           "footerf",
                                           "listtable",
                                           "listoverridetable",
                                           "rsidtbl",
                                           "nonesttables",
                                           "object",
                                           "themedata",
                                           "colorschememapping",
                                           "latentstyles",
                                           "datastore",
                                           "xmlnstbl",
                                           "generator",
                                           "revtbl",
                                           "ftnsep",
                                           "ftnsepc",
                                           "aftnsep",
                                           "aftnsepc"};

// Words that end a cell or a row, which RichEdit marks its own way.
const char* const kTableWords[] = {"cell", "row", "nestcell", "nestrow"};

// Words that show a character of their own.
const char* const kShowingWords[] = {"sect",      "page",   "column", "lquote",  "rquote",  "ldblquote",
                                     "rdblquote", "endash", "emdash", "bullet",  "emspace", "enspace",
                                     "qmspace",   "zwj",    "zwnj",   "ltrmark", "rtlmark"};

template <std::size_t N>
bool among(const std::string& word, const char* const (&words)[N]) {
    for (const char* w : words)
        if (word == w) return true;
    return false;
}

// The kinds of underline Wine's RichEdit reads as none; it knows \ul, \uld,
// \uldb and \ulw.
const char* const kOtherUnderlines[] = {"uldash",     "uldashd",    "uldashdd", "ulldash", "ulwave",
                                        "ululdbwave", "ulhwave",    "ulth",     "ulthd",   "ulthdash",
                                        "ulthdashd",  "ulthdashdd", "ulthldash"};
const char* const kKnownUnderlines[] = {"ul", "uld", "uldb", "ulw", "ulnone"};

struct Group {
    bool skip = false;
    bool hidden = false;
    bool otherUnderline = false;
    bool result = false;  // within a field result
    int fallback = 1;     // \uc
};

class Scanner {
  public:
    explicit Scanner(const std::string& rtf) : rtf_(rtf) {}

    std::vector<RtfMark> run() {
        std::vector<Group> groups(1);
        bool afterBrace = false;
        while (at_ < rtf_.size()) {
            const char c = rtf_[at_];
            Group& g = groups.back();
            if (c == '{') {
                ++at_;
                groups.push_back(groups.back());
                afterBrace = true;
                continue;
            }
            if (c == '}') {
                ++at_;
                if (groups.size() == symbolFieldDepth_) closeSymbolField();
                if (groups.size() > 1) groups.pop_back();
                if (groups.size() == 1) break;  // the document's own group is closed
                afterBrace = false;
                continue;
            }
            const bool wasAfterBrace = afterBrace;
            afterBrace = false;
            if (c == '\r' || c == '\n') {
                ++at_;
                afterBrace = wasAfterBrace;
                continue;
            }
            if (c != '\\') {
                ++at_;
                show(g, c);
                continue;
            }
            if (at_ + 1 >= rtf_.size()) break;
            const char next = rtf_[at_ + 1];
            if (!std::isalpha(static_cast<unsigned char>(next))) {
                at_ += 2;
                if (next == '*') {
                    // Only right after its brace does the star make a destination; the
                    // field result is the one starred group here that shows.
                    const std::string word = peekWord();
                    if (wasAfterBrace && word != "fldrslt") g.skip = true;
                    afterBrace = wasAfterBrace;
                } else if (next == '\'') {
                    at_ += 2;
                    shown(g, '?', false);
                } else if (next == '\\' || next == '{' || next == '}') {
                    show(g, next);
                } else if (next == '~' || next == '_') {
                    shown(g, '?', false);
                }
                continue;
            }
            ++at_;
            std::string word;
            while (at_ < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[at_]))) word += rtf_[at_++];
            std::string number;
            if (at_ < rtf_.size() && rtf_[at_] == '-') number += rtf_[at_++];
            while (at_ < rtf_.size() && std::isdigit(static_cast<unsigned char>(rtf_[at_]))) number += rtf_[at_++];
            if (at_ < rtf_.size() && rtf_[at_] == ' ') ++at_;
            const bool hasNumber = !number.empty() && number != "-";
            const long value = hasNumber ? std::strtol(number.c_str(), nullptr, 10) : 1;
            keyword(groups, word, hasNumber, value);
        }
        closeHidden();
        return marks_;
    }

  private:
    std::string peekWord() const {
        std::size_t i = at_;
        while (i < rtf_.size() && (rtf_[i] == '\r' || rtf_[i] == '\n' || rtf_[i] == ' ')) ++i;
        if (i >= rtf_.size() || rtf_[i] != '\\') return "";
        std::string word;
        for (++i; i < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[i])); ++i) word += rtf_[i];
        return word;
    }

    void keyword(std::vector<Group>& groups, const std::string& word, bool hasNumber, long value) {
        Group& g = groups.back();
        // A starred instruction's group is already skipped: what counts is
        // whether the field's group shows.
        if (word == "fldinst" && groups.size() >= 2 && !groups[groups.size() - 2].skip && peekSymbolInstruction()) {
            // The group that holds the instruction's group is the field's.
            symbolFieldDepth_ = groups.size() - 1;
            symbolFieldMarks_ = marks_.size();
            symbolFieldBefore_ = before_;
        }
        if (among(word, kHiddenDestinations)) {
            g.skip = true;
        } else if (word == "fldrslt") {
            g.result = true;
            if (!g.skip) marks_.push_back({RtfMark::kFieldResult, before_, "", true});
            resultMark_ = g.skip ? -1 : static_cast<int>(marks_.size()) - 1;
        } else if (word == "v") {
            g.hidden = !(hasNumber && value == 0);
        } else if (word == "plain") {
            g.hidden = false;
            g.otherUnderline = false;
        } else if (among(word, kOtherUnderlines)) {
            g.otherUnderline = !(hasNumber && value == 0);
        } else if (among(word, kKnownUnderlines)) {
            g.otherUnderline = false;
        } else if (word == "uc") {
            g.fallback = static_cast<int>(value);
        } else if (word == "u") {
            shown(g, '?', false);
            skipFallback(g.fallback);
        } else if (word == "line") {
            if (g.skip) return;
            closeHidden();
            if (!g.hidden) marks_.push_back({RtfMark::kLineBreak, before_, "", true});
            before_.clear();
        } else if (word == "chftn") {
            if (g.skip) return;
            marks_.push_back({RtfMark::kNoteNumber, before_, "", true});
            before_.clear();
        } else if (word == "par") {
            shown(g, '\r', true);
        } else if (word == "tab") {
            shown(g, '\t', true);
        } else if (among(word, kTableWords)) {
            if (!g.skip) before_.clear();
        } else if (among(word, kShowingWords)) {
            shown(g, '?', false);
        }
    }

    // Skips the units that stand for a "\u" character where it is not known.
    void skipFallback(int units) {
        for (int k = 0; k < units && at_ < rtf_.size();) {
            const char c = rtf_[at_];
            if (c == '{' || c == '}') return;
            if (c == '\r' || c == '\n') {
                ++at_;
                continue;
            }
            if (c == '\\' && at_ + 3 < rtf_.size() && rtf_[at_ + 1] == '\'') {
                at_ += 4;
            } else if (c == '\\' && at_ + 1 < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[at_ + 1]))) {
                return;  // a word ends the fallback early, as readers take it
            } else {
                at_ += c == '\\' ? 2 : 1;
            }
            ++k;
        }
    }

    void show(const Group& g, char c) { shown(g, c, static_cast<unsigned char>(c) < 0x80); }

    // A character that shows where `g` holds: ASCII characters add to the
    // context, others start it again.
    void shown(const Group& g, char c, bool ascii) {
        if (g.skip) return;
        if (g.result && resultMark_ >= 0) {
            RtfMark& m = marks_[static_cast<std::size_t>(resultMark_)];
            m.text += ascii ? c : '?';
            m.ascii = m.ascii && ascii;
        }
        if (!g.hidden && g.otherUnderline) {
            if (underlineMark_ < 0) {
                marks_.push_back({RtfMark::kOtherUnderline, before_, "", true});
                underlineMark_ = static_cast<int>(marks_.size()) - 1;
            }
            RtfMark& m = marks_[static_cast<std::size_t>(underlineMark_)];
            m.text += ascii ? c : '?';
            m.ascii = m.ascii && ascii;
        } else if (!g.hidden) {
            underlineMark_ = -1;
        }
        if (g.hidden) {
            if (hiddenMark_ < 0) {
                marks_.push_back({RtfMark::kHidden, before_, "", true});
                hiddenMark_ = static_cast<int>(marks_.size()) - 1;
            }
            RtfMark& m = marks_[static_cast<std::size_t>(hiddenMark_)];
            m.text += ascii ? c : '?';
            m.ascii = m.ascii && ascii;
            return;
        }
        closeHidden();
        before_ += ascii ? c : kAnyCharacter;
        if (before_.size() > kContext) before_.erase(0, before_.size() - kContext);
    }

    void closeHidden() { hiddenMark_ = -1; }

    // Whether the instruction that starts here is a SYMBOL field's.
    bool peekSymbolInstruction() const {
        std::size_t i = at_;
        while (i < rtf_.size() && (rtf_[i] == ' ' || rtf_[i] == '{' || rtf_[i] == '\r' || rtf_[i] == '\n')) ++i;
        static const char kSymbol[] = "SYMBOL ";
        for (std::size_t k = 0; k + 1 < sizeof kSymbol; ++k, ++i)
            if (i >= rtf_.size() || std::toupper(static_cast<unsigned char>(rtf_[i])) != kSymbol[k]) return false;
        return true;
    }

    // The group of a SYMBOL field closes: a field result with text is what
    // shows, else a mark where the field's character would.
    void closeSymbolField() {
        symbolFieldDepth_ = 0;
        for (std::size_t k = symbolFieldMarks_; k < marks_.size(); ++k)
            if (marks_[k].kind == RtfMark::kFieldResult && !marks_[k].text.empty()) return;
        marks_.push_back({RtfMark::kSymbolField, symbolFieldBefore_, "", true});
        before_.clear();  // the field's character, which this scan does not know, comes before what follows
    }

    const std::string& rtf_;
    std::size_t at_ = 0;
    std::string before_;
    std::vector<RtfMark> marks_;
    int hiddenMark_ = -1;
    int underlineMark_ = -1;
    int resultMark_ = -1;
    std::size_t symbolFieldDepth_ = 0;  // groups open within the SYMBOL field being read, 0 when none
    std::size_t symbolFieldMarks_ = 0;  // the marks before it
    std::string symbolFieldBefore_;
};

}  // namespace

std::vector<RtfMark> scanMarks(const std::string& rtf) { return Scanner(rtf).run(); }

}  // namespace realworld
