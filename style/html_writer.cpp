#include "style/html_writer.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "codepage/byte_utf8_table.h"
#include "codepage/unicode_text.h"
#include "codepage/utf8.h"
#include "html/cf_html.h"
#include "style/face_bits.h"
#include "style/two_parts.h"
#include "style/writer_sinks.h"

namespace {

// The face bits the block states; the others have no place in it.
constexpr int kWrittenFaces =
    kFaceBold | kFaceItalic | kFaceUnderline | kFaceStrikethrough | kFaceSuperscript | kFaceSubscript;

// What the outer element states for every run: the most common size and
// colour, so that most runs state neither.
struct Defaults {
    std::int16_t size = 0;  // 0: no run has a size
    std::uint32_t colour = 0;
};

using Look = HtmlDocument::Look;

Look lookOf(const StyleRuns::Run& run) {
    return Look{run.face & kWrittenFaces, run.size > 0 ? run.size : std::int16_t{0}, run.colour & 0xFFFFFFu};
}

// Walks the runs as the block writes them, one at a time, holding none:
// starts clamped into the text and never before the previous run's, a run
// of no text giving way to the next, neighbours that look the same joined,
// and a run at the very end of the text left out.
class WrittenRuns {
  public:
    WrittenRuns(const std::vector<StyleRuns::Run>& runs, std::size_t textLength)
        : runs_(runs), textLength_(textLength) {}

    // Moves to the next written run; false when there is none.
    bool next() {
        if (!pending_) return false;
        start_ = pendingStart_;
        look_ = pendingLook_;
        pending_ = false;
        for (; next_ < runs_.size(); ++next_) {
            const StyleRuns::Run& run = runs_[next_];
            std::size_t start = run.charPos < 0 ? 0 : static_cast<std::size_t>(run.charPos);
            if (start > textLength_) start = textLength_;
            if (start < position_) start = position_;
            position_ = start;
            const Look look = lookOf(run);
            if (start == start_) {
                look_ = look;  // the run before has no text
            } else if (!(look == look_)) {
                pendingStart_ = start;
                pendingLook_ = look;
                pending_ = true;
                ++next_;
                break;
            }
        }
        end_ = pending_ ? pendingStart_ : textLength_;
        return start_ < textLength_;
    }

    // Starts the walk over; the first call of next() gives the first run.
    void restart() {
        next_ = 0;
        position_ = 0;
        pending_ = false;
        for (; next_ < runs_.size() && !pending_; ++next_) {
            const StyleRuns::Run& run = runs_[next_];
            std::size_t start = run.charPos < 0 ? 0 : static_cast<std::size_t>(run.charPos);
            if (start > textLength_) start = textLength_;
            position_ = start;
            pendingStart_ = start;
            pendingLook_ = lookOf(run);
            pending_ = true;
        }
    }

    std::size_t start() const { return start_; }
    std::size_t end() const { return end_; }
    // Where the walk stands while a run waits to be given by next(), to
    // take the walk up there again later; only while waiting().
    bool waiting() const { return pending_; }
    HtmlDocument::ResumePoint resumePoint() const { return {next_, position_, pendingStart_, pendingLook_}; }
    // Takes the walk up where resumePoint() left it.
    void resume(const HtmlDocument::ResumePoint& at) {
        next_ = at.nextRun;
        position_ = at.position;
        pending_ = true;
        pendingStart_ = at.start;
        pendingLook_ = at.look;
    }
    const Look& look() const { return look_; }

  private:
    const std::vector<StyleRuns::Run>& runs_;
    std::size_t textLength_;
    std::size_t next_ = 0;      // the first run not yet looked at
    std::size_t position_ = 0;  // the latest clamped start
    bool pending_ = false;      // a run waits at pendingStart_
    std::size_t pendingStart_ = 0;
    Look pendingLook_{};
    std::size_t start_ = 0;
    std::size_t end_ = 0;
    Look look_{};
};

// Counts how often each key occurs, in a table of open addressing that
// doubles when half full: a document uses few sizes and colours, each over
// and over, but one made by a program may give every run a colour of its own.
template <class Key>
class Tally {
  public:
    Tally() : slots_(kFirstSlots) {}

    void add(Key key) {
        Slot* slot = find(key);
        if (slot->count == 0) {
            if (2 * (used_ + 1) > slots_.size()) {
                grow();
                slot = find(key);
            }
            slot->key = key;
            ++used_;
        }
        ++slot->count;
    }
    // The most common key, the least of those equally common; `otherwise`
    // when none was counted.
    Key mostCommonOr(Key otherwise) const {
        Key best = otherwise;
        std::size_t bestCount = 0;
        for (const Slot& slot : slots_)
            if (slot.count > bestCount || (slot.count > 0 && slot.count == bestCount && slot.key < best)) {
                best = slot.key;
                bestCount = slot.count;
            }
        return best;
    }

  private:
    static constexpr std::size_t kFirstSlots = 64;
    struct Slot {
        Key key{};
        std::size_t count = 0;  // 0: free
    };

    Slot* find(Key key) {
        const std::size_t mask = slots_.size() - 1;
        std::uint64_t h = static_cast<std::uint32_t>(key) * 0x9E3779B97F4A7C15ull;
        for (std::size_t i = static_cast<std::size_t>(h >> 32) & mask;; i = (i + 1) & mask)
            if (slots_[i].count == 0 || slots_[i].key == key) return &slots_[i];
    }
    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old)
            if (slot.count > 0) *find(slot.key) = slot;
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

// The defaults of the written runs, and, when `splitFrom` is given, the
// first run that starts there or later, where the walk can be taken up.
Defaults defaultsOf(WrittenRuns& written, std::size_t splitFrom, std::optional<HtmlDocument::ResumePoint>& split) {
    Tally<std::int16_t> sizes;
    Tally<std::uint32_t> colours;
    written.restart();
    for (;;) {
        if (!split && written.waiting() && written.resumePoint().start >= splitFrom) split = written.resumePoint();
        if (!written.next()) break;
        if (written.look().size > 0) sizes.add(written.look().size);
        colours.add(written.look().colour);
    }
    return Defaults{sizes.mostCommonOr(0), colours.mostCommonOr(0)};
}

// A colour as #rgb where that is exact, else as #rrggbb.
template <class Sink>
void appendColour(Sink& out, std::uint32_t rgb) {
    static const char kHex[] = "0123456789abcdef";
    const bool shortForm = ((rgb >> 4) & 0x0F0F0F) == (rgb & 0x0F0F0F);
    out.put('#');
    if (shortForm) {
        out.put(kHex[(rgb >> 16) & 0xF]);
        out.put(kHex[(rgb >> 8) & 0xF]);
        out.put(kHex[rgb & 0xF]);
        return;
    }
    for (int shift = 20; shift >= 0; shift -= 4) out.put(kHex[(rgb >> shift) & 0xF]);
}

// The outer element: white space kept, and every attribute a run can have
// stated once, so that the place the block is pasted into cannot lend its
// own style to the runs.
template <class Sink>
void appendOpening(Sink& out, const Defaults& defaults) {
    out.append(
        "<div style=\"white-space:pre-wrap;font-weight:normal;font-style:normal;text-decoration:none;"
        "vertical-align:baseline;");
    if (defaults.size > 0) {
        out.append("font-size:");
        appendDecimal(out, defaults.size);
        out.append("pt;");
    }
    out.append("color:");
    appendColour(out, defaults.colour);
    out.append("\">");
}

// The elements of a run: size, colour and vertical alignment that differ
// from the defaults go on an element outside the others, so that an
// underline or a line through takes the run's colour: <font color> for a
// colour alone, else a span whose style needs no quotes. Bold, italic,
// underline and line-through are their own elements. Chromium computes each
// as those properties.
struct FaceElement {
    int face;
    const char* open;
    const char* close;
};
constexpr FaceElement kFaceElements[] = {{kFaceBold, "<b>", "</b>"},
                                         {kFaceItalic, "<i>", "</i>"},
                                         {kFaceUnderline, "<u>", "</u>"},
                                         {kFaceStrikethrough, "<s>", "</s>"}};

enum class Outer { kNone, kFont, kSpan };

Outer outerOf(const Look& look, const Defaults& defaults) {
    const bool size = look.size > 0 && look.size != defaults.size;
    const bool colour = look.colour != defaults.colour;
    const bool vertical = (look.face & (kFaceSuperscript | kFaceSubscript)) != 0;
    if (size || vertical) return Outer::kSpan;
    return colour ? Outer::kFont : Outer::kNone;
}

template <class Sink>
void openRun(Sink& out, const Look& look, const Defaults& defaults) {
    const Outer outer = outerOf(look, defaults);
    if (outer == Outer::kFont) {
        out.append("<font color=");
        appendColour(out, look.colour);
        out.put('>');
    } else if (outer == Outer::kSpan) {
        out.append("<span style=");
        bool separate = false;
        if (look.size > 0 && look.size != defaults.size) {
            out.append("font-size:");
            appendDecimal(out, look.size);
            out.append("pt");
            separate = true;
        }
        if (look.colour != defaults.colour) {
            if (separate) out.put(';');
            out.append("color:");
            appendColour(out, look.colour);
            separate = true;
        }
        if ((look.face & (kFaceSuperscript | kFaceSubscript)) != 0) {
            if (separate) out.put(';');
            // Superscript wins where a run has both.
            if (look.face & kFaceSuperscript)
                out.append("vertical-align:super");
            else
                out.append("vertical-align:sub");
        }
        out.put('>');
    }
    for (const FaceElement& e : kFaceElements)
        if (look.face & e.face) out.append(e.open, std::strlen(e.open));
}

template <class Sink>
void closeRun(Sink& out, const Look& look, const Defaults& defaults) {
    for (std::size_t i = sizeof kFaceElements / sizeof kFaceElements[0]; i-- > 0;)
        if (look.face & kFaceElements[i].face) out.append(kFaceElements[i].close, std::strlen(kFaceElements[i].close));
    const Outer outer = outerOf(look, defaults);
    if (outer == Outer::kFont) out.append("</font>");
    if (outer == Outer::kSpan) out.append("</span>");
}

// Bytes of UTF-8 that are not copied as they are: markup characters, line
// ends, NUL and the other controls but tab.
// `stop` marks them, and `stopOrHigh` them and every byte from 0x80 up, which
// text of a single-byte code page converts through its table.
struct EscapedBytes {
    bool stop[256] = {};
    bool stopOrHigh[256] = {};
    constexpr EscapedBytes() {
        for (int c = 0; c < 0x20; ++c) stop[c] = c != '\t';
        for (unsigned char c : {'&', '<', '>', '"', '\''}) stop[c] = true;
        for (int c = 0; c < 256; ++c) stopOrHigh[c] = stop[c] || c >= 0x80;
    }
};
constexpr EscapedBytes kEscapedBytes;

// Appends the escape of the ASCII byte s[i], which kEscapedBytes.stop marks,
// of the n bytes at s; answers the index of the last byte it took.
template <class Sink>
std::size_t appendEscape(Sink& out, const char* s, std::size_t i, std::size_t n) {
    switch (s[i]) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append("&quot;");
            break;
        case '\'':
            out.append("&#39;");
            break;
        case '\r':
            out.append("<br>");
            if (i + 1 < n && s[i + 1] == '\n') ++i;
            break;
        case '\n':
            out.append("<br>");
            break;
        case '\0':
            break;  // the end of CF_TEXT; not a character
        default:
            out.append("&#");
            appendDecimal(out, static_cast<int>(s[i]));
            out.put(';');
    }
    return i;
}

// Appends the n bytes at s escaped: UTF-8 as it is when `table` is null,
// else bytes of a single-byte code page, those from 0x80 up through `table`.
template <class Sink>
void appendEscapedBytes(Sink& out, const char* s, std::size_t n, const codepage::ByteUtf8Table* table) {
    const bool* const stops = table != nullptr ? kEscapedBytes.stopOrHigh : kEscapedBytes.stop;
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t plain = i;
        while (plain < n && !stops[static_cast<unsigned char>(s[plain])]) ++plain;
        out.append(s + i, plain - i);
        if (plain == n) break;
        i = plain;
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80)
            out.append(table->bytes(c), table->length(c));  // only a table stops there
        else
            i = appendEscape(out, s, i, n);
    }
}

// Appends text[from, to), converted to UTF-8, escaped, line ends as <br>.
// A single-byte code page converts through `table`, a byte at a time; any
// other through `utf8`, room to convert in that is kept between calls.
template <class Sink>
void appendEscaped(Sink& out, const std::string& text, std::size_t from, std::size_t to, codepage::CodePage cp,
                   const codepage::ByteUtf8Table& table, std::string& utf8) {
    if (table.usable()) {
        appendEscapedBytes(out, text.data() + from, to - from, &table);
        return;
    }
    utf8.clear();
    codepage::appendUtf8FromCodePage(utf8, text.data() + from, to - from, cp);
    appendEscapedBytes(out, utf8.data(), utf8.size(), nullptr);
}

// appendEscaped, with each foreign character in UTF-8 in place of its
// fallback. The pieces must come in order, as the walk needs them.
template <class Sink>
void appendEscapedWalking(Sink& out, codepage::ForeignWalk& walk, const std::string& text, std::size_t from,
                          std::size_t to, codepage::CodePage cp, const codepage::ByteUtf8Table& table,
                          std::string& utf8) {
    walk.walk(
        from, to, [&](std::size_t a, std::size_t b) { appendEscaped(out, text, a, b, cp, table, utf8); },
        [&](const codepage::ForeignChar& c) {
            utf8.clear();
            codepage::appendUtf8(utf8, c.codePoint);
            out.append(utf8.data(), utf8.size());
        });
}

}  // namespace

HtmlDocument::HtmlDocument(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                           const codepage::ForeignChars* foreign, std::size_t twoPartsFrom)
    : text_(text), runs_(runs), cp_(cp), foreign_(foreign), table_(codepage::ByteUtf8Table::of(cp)) {
    WrittenRuns written(runs, text.size());
    // A large fragment is split at the first run in the second half of the
    // text, so that two threads can count and write it.
    const std::size_t splitFrom = text.size() >= twoPartsFrom ? text.size() / 2 : SIZE_MAX;
    const Defaults defaults = defaultsOf(written, splitFrom, split_);
    defaultSize_ = defaults.size;
    defaultColour_ = defaults.colour;
}

std::size_t HtmlDocument::fragmentSize() const {
    if (!counted_) {
        runParts(split_.has_value(), [this](int part) {
            CountingSink count;
            writePart(count, part);
            partSizes_[part] = count.size;
        });
        counted_ = true;
    }
    return partSizes_[0] + partSizes_[1];
}

std::size_t HtmlDocument::size() const {
    return html::cfHtmlBefore(fragmentSize()).size() + fragmentSize() + html::cfHtmlAfter().size();
}

void HtmlDocument::writeTo(char* out) const {
    const std::string before = html::cfHtmlBefore(fragmentSize());
    std::memcpy(out, before.data(), before.size());
    char* const fragment = out + before.size();
    runParts(split_.has_value(), [this, fragment](int part) {
        WritingSink writer{part == 0 ? fragment : fragment + partSizes_[0]};
        writePart(writer, part);
    });
    std::memcpy(fragment + partSizes_[0] + partSizes_[1], html::cfHtmlAfter().data(), html::cfHtmlAfter().size());
}

std::string HtmlDocument::block() const {
    // One pass: the header's length does not depend on its offsets, so it
    // is written once the fragment's size is known, over room kept for it.
    const std::size_t headerSize = html::cfHtmlBefore(0).size();
    std::string out(headerSize, ' ');
    out.reserve(headerSize + text_.size() + text_.size() / 8 + runs_.size() * 16 + 64);
    StringSink sink{out};
    writePart(sink, 0);
    writePart(sink, 1);
    const std::string before = html::cfHtmlBefore(out.size() - headerSize);
    out.replace(0, before.size(), before);
    out += html::cfHtmlAfter();
    return out;
}

// Part 0 is the opening, the text before the first run and the runs before
// the split; part 1 the runs from the split on. The closing goes with the
// last part: part 0 when the fragment is not split, and part 1 is empty.
template <class Sink>
void HtmlDocument::writePart(Sink& out, int part) const {
    if (part == 1 && !split_) return;
    const Defaults defaults{defaultSize_, defaultColour_};
    std::string scratch;
    codepage::ForeignWalk walk(foreign_);
    WrittenRuns written(runs_, text_.size());
    bool more = false;
    if (part == 0) {
        appendOpening(out, defaults);
        written.restart();
        more = written.next();
        // Text before the first run, if any, has the outer element's style.
        appendEscapedWalking(out, walk, text_, 0, more ? written.start() : text_.size(), cp_, table_, scratch);
    } else {
        written.resume(*split_);
        more = written.next();
    }
    const std::size_t stop = part == 0 && split_ ? split_->start : SIZE_MAX;
    for (; more && written.start() < stop; more = written.next()) {
        openRun(out, written.look(), defaults);
        appendEscapedWalking(out, walk, text_, written.start(), written.end(), cp_, table_, scratch);
        closeRun(out, written.look(), defaults);
    }
    if (part == 1 || !split_) out.append("</div>");
}

std::string htmlFragment(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                         const codepage::ForeignChars* foreign) {
    const std::string block = htmlBlock(text, runs, cp, foreign);
    html::CfHtmlLayout layout;
    html::parseCfHtmlHeader(block.data(), block.size(), layout);
    return block.substr(layout.fragmentStart, layout.fragmentEnd - layout.fragmentStart);
}

std::string htmlBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                      const codepage::ForeignChars* foreign) {
    return HtmlDocument(text, runs, cp, foreign).block();
}
