#include "plugin/functions.h"

namespace {
constexpr fmx::errcode errorResult = 0;
}

fmx::errcode Do_StyledTextVersion(fmx::int16, const fmx::ExprEnv*, const fmx::DataVect*, fmx::Data* results) {
    // The host gets an answer even when its library fails; the result then stays empty.
    try {
        fmx::TextAutoPtr text;
        text->Assign("Vorn Media Styled Text 1.01", fmx::kEncoding_Native);
        fmx::LocaleAutoPtr systemLocale(fmx::kType_System);
        if (results != nullptr) results->SetAsText(*text, *systemLocale, fmx::kDTText);
    } catch (...) {
    }
    return errorResult;
}

fmx::errcode Do_StyledClipboard(fmx::int16, const fmx::ExprEnv*, const fmx::DataVect*, fmx::Data*) {
    return errorResult;
}
