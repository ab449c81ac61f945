#include "plugin/functions.h"

#include <memory>

#include "plugin/version.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"
#include "style/CharStyle_styl.h"

namespace {

constexpr fmx::errcode errorResult = 0;

// Reads every styled format on the clipboard, makes the missing ones by
// conversion and writes text, "Mac-FMcs", RTF and "HTML Format" back. The clipboard is
// emptied only once every container the writes need exists; a format that
// cannot be read counts as absent. Containers are released on every path,
// each through its own class.
void styledClipboard() {
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
    }
    if (bHasRTF) {
        rtf.reset(CharStyle_RTF::InitFromClipboard());
        bHasRTF = rtf != nullptr;
    }
    if (bHasRTF && rtf->parsingError()) bHasRTF = false;
    if (bHasHTML) {
        html.reset(CharStyle_HTML::InitFromClipboard());
        // A fragment that shows no text (an image, say) has nothing to convert.
        bHasHTML = html != nullptr && !html->parsingError() && !html->getText().empty();
    }

    CharStyle* fromStyle = nullptr;
    if (!bHasFMcs) {
        fromStyle = bHasRTF    ? static_cast<CharStyle*>(rtf.get())
                    : bHasHTML ? static_cast<CharStyle*>(html.get())
                    : bHasStyl ? styl.get()
                               : nullptr;
        if (fromStyle != nullptr) fmcs.reset(new CharStyle_FMcs(fromStyle));
    }
    if (!bHasRTF) {
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
    if (!bHasHTML) {
        // The same for "HTML Format": a FileMaker container or RTF read from
        // the clipboard, or the style scrap.
        fromStyle = bHasFMcs  ? static_cast<CharStyle*>(fmcs.get())
                    : bHasRTF ? static_cast<CharStyle*>(rtf.get())
                    : bHasStyl ? styl.get()
                               : nullptr;
        if (fromStyle != nullptr) {
            html.reset();
            html.reset(new CharStyle_HTML(fromStyle));
        }
    }
    if (fmcs == nullptr || rtf == nullptr || rtf->parsingError() || html == nullptr || html->parsingError())
        return;  // the clipboard keeps what it has

    // Writing beside formats that could not be removed would mix two copies.
    // Past this point only the allocation of each format's block can fail:
    // the RTF document too is counted first and then written into its block.
    if (!CharStyle::ClearClipboard()) return;
    fmcs->addTextToClipboard();
    fmcs->addStyleToClipboard();
    rtf->addStyleToClipboard();
    html->addStyleToClipboard();
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
        // Out of memory while converting: the clipboard was not yet touched.
    }
    return errorResult;
}
