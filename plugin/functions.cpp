#include "plugin/functions.h"

#include <memory>
#include <optional>

#include "codepage/code_page.h"
#include "plugin/version.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"
#include "style/CharStyle_styl.h"
#include "style/background_block.h"
#include "style/clipboard_session.h"
#include "style/unicode_text.h"

namespace {

constexpr fmx::errcode errorResult = 0;

// Reads every styled format on the clipboard, makes the missing ones by
// conversion and writes text, "Mac-FMcs" and whichever of RTF and "HTML
// Format" were missing, each in place of what the clipboard held of it;
// every other format of the copy stays, and so do RTF and "HTML Format" that
// were read, as the copying program wrote them. Characters the ANSI code page
// lacks travel beside the text of each container and are written as RTF "\u"
// escapes and as UTF-8 in "HTML Format", and, when the copying program put no
// Unicode text that holds them, as CF_UNICODETEXT. A format that cannot be
// read counts as absent.
// Containers are released on every path, each through its own class.
//
// The call is one clipboard session (style/clipboard_session.h): it waits
// about a second in all for other programs that hold the clipboard, then
// gives up with the clipboard untouched. Every format is read in one opening,
// so they all come from one copy; the clipboard is closed while converting,
// so that the program that copied and clipboard managers are not kept
// waiting; and the writes are kept until all four blocks exist, then handed
// over in one opening that first checks that no other program copied since
// the read. A newer copy is never overwritten, and two copies never mixed.
void styledClipboard() {
    clipboard::Session session;
    if (!session.open(clipboard::Purpose::reading)) return;

    bool bHasStyl = CharStyle_styl::clipboardHasStyle();
    bool bHasFMcs = CharStyle_FMcs::clipboardHasStyle();
    bool bHasRTF = CharStyle_RTF::clipboardHasStyle();
    bool bHasHTML = CharStyle_HTML::clipboardHasStyle();
    if (!bHasStyl && !bHasFMcs && !bHasRTF && !bHasHTML) return;

    std::unique_ptr<CharStyle_styl> styl;
    std::unique_ptr<CharStyle_FMcs> fmcs;
    std::unique_ptr<CharStyle_RTF> rtf;
    std::unique_ptr<CharStyle_HTML> html;
    if (bHasStyl) {
        styl.reset(CharStyle_styl::InitFromClipboard());
        bHasStyl = styl != nullptr;
    }
    if (bHasFMcs) {
        fmcs.reset(CharStyle_FMcs::InitFromClipboard());
        bHasFMcs = fmcs != nullptr;
        // FileMaker's own Unicode text says which characters CF_TEXT lost.
        if (bHasFMcs) fmcs->readForeignFromClipboard();
    }
    if (bHasRTF) {
        rtf.reset(CharStyle_RTF::InitFromClipboard());
        bHasRTF = rtf != nullptr;
    }
    if (bHasHTML) {
        // Its block stays on the clipboard as it is: the container need not hold a copy.
        html.reset(CharStyle_HTML::InitFromClipboard(CharStyle_HTML::ReadBlock::notKept));
        bHasHTML = html != nullptr;
    }
    // A copy whose text the code page cannot carry whole needs a Unicode
    // text, unless the copying program put one that carries it.
    const bool bAnyForeign = (bHasFMcs && !fmcs->foreignChars().empty()) || (bHasRTF && !rtf->foreignChars().empty()) ||
                             (bHasHTML && !html->foreignChars().empty());
    const bool bOwnUnicode = bAnyForeign && clipboardUnicodeTextLeavesAnsi();
    // Taken with the clipboard still held: since it was opened, only the
    // owner rendering what these reads asked for can have moved it, and that
    // is the same copy.
    const DWORD readSequence = GetClipboardSequenceNumber();
    session.close();
    if (bHasRTF && rtf->parsingError()) bHasRTF = false;
    // A fragment that shows no text (an image, say) has nothing to convert.
    if (bHasHTML && (html->parsingError() || html->heldText().empty())) bHasHTML = false;

    // A large copy has one of its blocks written on a second thread while
    // this one makes the others: "HTML Format", or, for a copy that came as
    // "HTML Format" alone, the RTF, written straight from the HTML
    // container's text and runs. A container read from a block holds its
    // line ends as CR and only those, which converting would leave as they
    // are, so the document is the one a converted container would write.
    // The job only reads its source, and nothing changes that source's text
    // or runs until the block is taken. A writer splits a block of 256 KB of
    // text or more between two threads of its own (style/two_parts.h).
    const bool bRtfFromHtmlAlone = !bHasFMcs && !bHasRTF && bHasHTML;
    std::optional<clipboard::BackgroundBlock> rtfBlock;
    std::optional<clipboard::BackgroundBlock> htmlBlock;
    // "HTML Format" is converted from a FileMaker container or RTF read from
    // the clipboard, or from the style scrap. Unless both of the first two
    // were read, the RTF container holds just what that conversion would
    // copy, once it is made, and the block is written from it instead: a
    // large text is not held again. "HTML Format" read from the clipboard
    // stays there as the copying program wrote it.
    const bool bHtmlFromRtf = !bHasHTML && !(bHasFMcs && bHasRTF);
    const auto startHtmlBlock = [&htmlBlock, &rtf, &html, bHtmlFromRtf]() {
        const CharStyle_RTF* htmlFromRtf = bHtmlFromRtf ? rtf.get() : nullptr;
        const CharStyle_HTML* htmlSource = html.get();
        const std::size_t textBytes =
            htmlFromRtf != nullptr ? htmlFromRtf->heldText().size() : htmlSource->heldText().size();
        htmlBlock.emplace(
            [htmlFromRtf, htmlSource]() -> HGLOBAL {
                if (htmlFromRtf == nullptr) return htmlSource->newBlock();
                return CharStyle_HTML::newBlock(htmlFromRtf->heldText(), htmlFromRtf->runs(),
                                                htmlFromRtf->foreignChars());
            },
            textBytes >= clipboard::kBackgroundTextBytes);
    };
    // RTF read from the clipboard is ready as the source now, and the block
    // is written while the FileMaker container is converted.
    if (bHtmlFromRtf && bHasRTF) startHtmlBlock();
    if (bRtfFromHtmlAlone) {
        rtf.reset();
        const CharStyle_HTML* source = html.get();
        rtfBlock.emplace(
            [source]() -> HGLOBAL {
                return CharStyle_RTF::newBlock(source->heldText(), source->runs(), source->foreignChars());
            },
            source->heldText().size() >= clipboard::kBackgroundTextBytes);
    }

    CharStyle* fromStyle = nullptr;
    if (!bHasFMcs) {
        fromStyle = bHasRTF    ? static_cast<CharStyle*>(rtf.get())
                    : bHasHTML ? static_cast<CharStyle*>(html.get())
                    : bHasStyl ? styl.get()
                               : nullptr;
        if (fromStyle != nullptr) fmcs.reset(new CharStyle_FMcs(fromStyle));
    }
    if (!bHasRTF && !bRtfFromHtmlAlone) {
        // Only a FileMaker container read from the clipboard serves here,
        // never one just converted from the style scrap.
        fromStyle = bHasFMcs   ? static_cast<CharStyle*>(fmcs.get())
                    : bHasHTML ? static_cast<CharStyle*>(html.get())
                    : bHasStyl ? styl.get()
                               : nullptr;
        if (fromStyle != nullptr) {
            rtf.reset();
            rtf.reset(new CharStyle_RTF(fromStyle));
        }
    }
    if (!bHasHTML && !bHtmlFromRtf) {
        html.reset();
        html.reset(new CharStyle_HTML(fmcs.get()));
    }
    if (fmcs == nullptr || (rtf == nullptr && !bRtfFromHtmlAlone) || (rtf != nullptr && rtf->parsingError()) ||
        (!bHtmlFromRtf && (html == nullptr || html->parsingError())))
        return;  // the clipboard keeps what it has

    // Every block is made before the clipboard is opened again, so nothing
    // but Windows itself can fail once it has been emptied; a block that
    // cannot be made leaves the clipboard as it was. Each container goes as
    // soon as its blocks are made, so that the blocks of a large copy and the
    // containers they come from are not all held at once.
    session.stageWrites();
    // RTF read from the clipboard stays there too: the copying program's
    // fonts, paragraphs, tables and pictures are more than our document of
    // the text and runs could say.
    if (!bRtfFromHtmlAlone && !bHasRTF) {
        CharStyle_RTF* source = rtf.get();
        rtfBlock.emplace([source]() -> HGLOBAL { return source->newBlock(); }, false);  // made here, when taken
    }
    if (!bHasHTML && !htmlBlock) startHtmlBlock();
    // CF_TEXT is FileMaker's text: the Unicode text beside it is the same.
    // Unless that is still to be made, the container's text goes with
    // CF_TEXT, while "HTML Format" may still be being written.
    const bool bUnicodeFromFMcs = !fmcs->foreignChars().empty() && !bOwnUnicode;
    if (!(bUnicodeFromFMcs ? fmcs->addTextToClipboard() : fmcs->moveTextToClipboard()) ||
        !fmcs->addStyleToClipboard())
        return;
    if (bUnicodeFromFMcs) {
        HGLOBAL hUnicode = newUnicodeTextBlock(fmcs->getText(), codepage::ansiCodePage(), &fmcs->foreignChars());
        if (hUnicode == nullptr || !CharStyle::addBlockToClipboard(hUnicode, CF_UNICODETEXT)) return;
    }
    fmcs.reset();
    styl.reset();
    // RTF, then "HTML Format", in the order they are always written.
    const auto addMadeBlock = [](HGLOBAL block, const char* formatName) {
        return block != nullptr && CharStyle::addBlockToClipboard(block, RegisterClipboardFormatA(formatName));
    };
    if (rtfBlock && !addMadeBlock(rtfBlock->take(), CharStyle_RTF::kFormatName)) return;
    if (!bHtmlFromRtf) rtf.reset();
    if (htmlBlock && !addMadeBlock(htmlBlock->take(), CharStyle_HTML::kFormatName)) return;
    session.commit(readSequence);
}

}  // namespace

fmx::errcode Do_StyledTextVersion(fmx::int16, const fmx::ExprEnv*, const fmx::DataVect*, fmx::Data* results) {
    // The host gets an answer even when its library fails; the result then stays empty.
    try {
        fmx::TextAutoPtr text;
        text->Assign("Vorn Media Styled Text " STYLEDTEXT_VERSION_TEXT, fmx::kEncoding_Native);
        fmx::LocaleAutoPtr systemLocale(fmx::kType_System);
        if (results != nullptr) results->SetAsText(*text, *systemLocale, fmx::kDTText);
    } catch (...) {
    }
    return errorResult;
}

fmx::errcode Do_StyledClipboard(fmx::int16, const fmx::ExprEnv*, const fmx::DataVect*, fmx::Data*) {
    try {
        styledClipboard();
    } catch (...) {
        // Out of memory while converting: the clipboard was not yet touched,
        // and the session has freed what it kept.
    }
    return errorResult;
}
