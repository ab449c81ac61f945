#include "style/html_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "html/cf_html.h"
#include "style/face_bits.h"
#include "style/html_escaping.h"
#include "style/html_written_runs.h"
#include "style/two_parts.h"
#include "style/writer_sinks.h"

namespace {

using htmlwriter::appendEscapedWalking;
using htmlwriter::kWrittenFaces;
using htmlwriter::Look;
using htmlwriter::Tally;
using htmlwriter::WrittenRuns;

// What the outer element states for every run: the most common size and
// colour, so that most runs state neither.
struct Defaults {
    std::int16_t size = 0;  // 0: no run has a size
    std::uint32_t colour = 0;
};

// What a pass over each part's written runs finds before anything is
// written: how often each look occurs, how many runs start between CR and
// LF, which a run's end parts into two line breaks, and, where the text is
// counted in one piece, the bytes of its escaped text.
struct Survey {
    Tally<std::uint64_t> looks[2];
    std::size_t partedLineEnds[2] = {0, 0};
    std::size_t textBytes[2] = {0, 0};
};

// Where the second part can take the walk up without the first part's:
// the first run from about `splitFrom` on that starts after every run
// before it and looks different from the run just before it. The walk
// given the runs before it then always stands the same there: that run
// waits, starting where it says, whatever the runs before it were. None
// when no run qualifies.
std::optional<HtmlDocument::ResumePoint> splitPoint(const std::vector<StyleRuns::Run>& runs, std::size_t textLength,
                                                    std::size_t splitFrom) {
    const auto startOf = [textLength](const StyleRuns::Run& run) {
        const std::size_t start = run.charPos < 0 ? 0 : static_cast<std::size_t>(run.charPos);
        return start < textLength ? start : textLength;
    };
    // Runs come in order of their starts, which the search takes for
    // granted; out of order, it finds some run, which the checks below accept or not.
    const std::size_t from = static_cast<std::size_t>(
        std::partition_point(runs.begin(), runs.end(),
                             [&](const StyleRuns::Run& run) { return startOf(run) < splitFrom; }) -
        runs.begin());
    if (from == 0 || from >= runs.size()) return std::nullopt;
    std::size_t latest = 0;  // the latest start of the runs before the one looked at
    for (std::size_t k = 0; k < from; ++k) latest = std::max(latest, startOf(runs[k]));
    for (std::size_t k = from; k < runs.size(); ++k) {
        const std::size_t start = startOf(runs[k]);
        const Look look = htmlwriter::lookOf(runs[k]);
        if (start > latest && start < textLength && !(look == htmlwriter::lookOf(runs[k - 1])))
            return HtmlDocument::ResumePoint{k + 1, start, start, look};
        latest = std::max(latest, start);
    }
    return std::nullopt;
}

// Surveys part `part` of the written runs, as split at `split`.
void surveyPart(Survey& survey, int part, const std::vector<StyleRuns::Run>& runs, const std::string& text,
                const std::optional<HtmlDocument::ResumePoint>& split, const codepage::ByteUtf8Table* countText) {
    if (part == 1 && !split) return;
    WrittenRuns written(runs, text.size());
    if (part == 0)
        written.restart();
    else
        written.resume(*split);
    const std::size_t stop = part == 0 && split ? split->start : SIZE_MAX;
    // The split's own run counts no line break: the part before ends in it.
    for (bool isFirst = part == 1; written.next() && written.start() < stop; isFirst = false) {
        survey.looks[part].add(htmlwriter::lookKey(written.look()));
        const std::size_t start = written.start();
        if (!isFirst && start > 0 && text[start - 1] == '\r' && text[start] == '\n') ++survey.partedLineEnds[part];
    }
    if (countText == nullptr) return;
    const std::size_t from = part == 0 ? 0 : split->start;
    const std::size_t to = part == 0 && split ? split->start : text.size();
    survey.textBytes[part] =
        htmlwriter::escapedSize(text.data() + from, to - from, htmlwriter::EscapedLengths(*countText));
}

// The most common size and colour among the written runs.
Defaults defaultsOf(const Survey& survey) {
    Tally<std::int16_t> sizes;
    Tally<std::uint32_t> colours;
    for (const Tally<std::uint64_t>& looks : survey.looks)
        looks.forEach([&](std::uint64_t key, std::size_t count) {
            const Look look = htmlwriter::lookOfKey(key);
            if (look.size > 0) sizes.add(look.size, count);
            colours.add(look.colour, count);
        });
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

// What closes the outer element.
constexpr char kClosing[] = "</div>";

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

// The bytes of the elements that open and close runs of these looks.
std::size_t markupOf(const Tally<std::uint64_t>& looks, const Defaults& defaults) {
    std::size_t size = 0;
    looks.forEach([&](std::uint64_t key, std::size_t count) {
        const Look look = htmlwriter::lookOfKey(key);
        CountingSink markup;
        openRun(markup, look, defaults);
        closeRun(markup, look, defaults);
        size += markup.size * count;
    });
    return size;
}

}  // namespace

HtmlDocument::HtmlDocument(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                           const codepage::ForeignChars* foreign, std::size_t twoPartsFrom)
    : text_(text), runs_(runs), cp_(cp), foreign_(foreign), table_(codepage::ByteUtf8Table::of(cp)) {
    // A large fragment is split about the middle of its text, so that two
    // threads can survey, count and write it.
    if (text.size() >= twoPartsFrom) split_ = splitPoint(runs, text.size(), text.size() / 2);
    // Text that converts a byte at a time and holds no foreign characters
    // is counted a part at a time in one piece, not run by run, beside the
    // survey; its markup is then counted from the looks.
    const bool textCountedWhole = table_.usable() && (foreign == nullptr || foreign->empty());
    Survey survey;
    runParts(split_.has_value(),
             [&](int part) { surveyPart(survey, part, runs, text, split_, textCountedWhole ? &table_ : nullptr); });
    const Defaults defaults = defaultsOf(survey);
    defaultSize_ = defaults.size;
    defaultColour_ = defaults.colour;
    if (!textCountedWhole) return;
    CountingSink opening;
    appendOpening(opening, defaults);
    for (int part = 0; part < 2; ++part)
        partSizes_[part] = markupOf(survey.looks[part], defaults) +
                           htmlwriter::kLineBreakBytes * survey.partedLineEnds[part] + survey.textBytes[part];
    partSizes_[0] += opening.size;
    partSizes_[split_ ? 1 : 0] += sizeof kClosing - 1;
    counted_ = true;
}

std::size_t HtmlDocument::fragmentSize() const {
    if (!counted_) {
        runParts(split_.has_value(), [this](int part) {
            if (part == 1 && !split_) return;
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
    if (part == 1 || !split_) out.append(kClosing);
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
