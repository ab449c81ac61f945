#include "plugin/interface.h"

#include "platform/winapi.h"
#include "plugin/functions.h"
#include "plugin/resources.h"
#include "style/clipboard_session.h"

FMX_ExternCallPtr gFMX_ExternCallPtr = nullptr;

namespace {

constexpr fmx::int16 kPluginInterfaceVersion = 50;
constexpr fmx::int16 kLowestHostVersion = 50;
constexpr fmx::int16 kHighestHostVersion = 255;
constexpr fmx::int32 kInitRefused = -1;

struct ExternalFunction {
    fmx::int16 functionId;
    fmx::uint32 resourceId;
    fmx::int16 minArgs;
    fmx::int16 maxArgs;
    fmx::ExtPluginType entry;
};

constexpr ExternalFunction kFunctions[] = {
    {kFunctionStyledTextVersion, IDS_FUNCTION_VERSION, 0, 0, Do_StyledTextVersion},
    {kFunctionStyledClipboard, IDS_FUNCTION_CLIPBOARD, 0, 0, Do_StyledClipboard},
};

fmx::QuadCharAutoPtr pluginId() { return fmx::QuadCharAutoPtr('S', 't', 'y', 'l'); }

// Removes whatever registration an initialise that failed part-way made,
// one function at a time, so that one failure does not keep the rest.
void unregisterAfterFailure() noexcept {
    for (const ExternalFunction& f : kFunctions) {
        try {
            fmx::ExprEnv::UnRegisterExternalFunction(*pluginId(), f.functionId);
        } catch (...) {
        }
    }
}

}  // namespace

fmx::int32 Do_PluginInit(fmx::int16 version) {
    if (version < kLowestHostVersion || version > kHighestHostVersion) return kInitRefused;

    fmx::QuadCharAutoPtr id = pluginId();
    fmx::TextAutoPtr name;
    fmx::TextAutoPtr prototype;
    const fmx::uint32 regFunctionFlags = 0xFF01;
    for (const ExternalFunction& f : kFunctions) {
        Do_GetString(f.resourceId, name, true);
        Do_GetString(f.resourceId, prototype, false);
        fmx::errcode err = fmx::ExprEnv::RegisterExternalFunction(*id, f.functionId, *name, *prototype, f.minArgs,
                                                                  f.maxArgs, regFunctionFlags, f.entry);
        (void)err;  // the host's refusal changes nothing we can do
    }
    return kPluginInterfaceVersion;
}

void Do_PluginIdle(fmx::uint8) {}

void Do_PluginShutdown() {
    // The window the clipboard was written with when no window of the host
    // was active; the clipboard keeps what it holds when it goes.
    clipboard::destroyOwnerWindow();
    fmx::QuadCharAutoPtr id = pluginId();
    for (const ExternalFunction& f : kFunctions) {
        fmx::errcode err = fmx::ExprEnv::UnRegisterExternalFunction(*id, f.functionId);
        (void)err;
    }
}

void Do_GetString(fmx::uint32 whichString, fmx::uint32 /*winLangID: one language only*/, fmx::int32 resultsize,
                  fmx::uint16* string) {
    // LoadStringW with no room would write a pointer into the buffer instead.
    if (string == nullptr || resultsize < 1) return;
    const bool processedSpecialStringID = whichString == IDS_HOST_OPTIONS_REQUEST;
    const fmx::uint32 resourceId = processedSpecialStringID ? IDS_OPTIONS : whichString;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(gFMX_ExternCallPtr->instanceID);
    LoadStringW(instance, resourceId, reinterpret_cast<LPWSTR>(string), resultsize);
}

void Do_GetString(fmx::uint32 whichStringID, fmx::TextAutoPtr& intoHere, bool stripFunctionParams) {
    constexpr fmx::int32 kBufferUnits = 1024;
    fmx::uint16 tempBuffer[kBufferUnits] = {0};
    Do_GetString(whichStringID, 0, kBufferUnits, tempBuffer);
    intoHere->AssignUnicode(tempBuffer);

    if (stripFunctionParams) {
        fmx::TextAutoPtr parenToken;
        parenToken->Assign("(");
        fmx::uint32 originalSize = intoHere->GetSize();
        fmx::uint32 firstParenLocation = intoHere->Find(*parenToken, 0);
        intoHere->DeleteText(firstParenLocation, originalSize - firstParenLocation);
    }
}

extern "C" FMX_EXPORT void FMExternCallProc(FMX_ExternCallPtr pb) {
    if (pb == nullptr) return;
    gFMX_ExternCallPtr = pb;
    // No exception may reach the host: it would take the user's work down with it.
    try {
        switch (pb->whichCall) {
            case kFMXT_Init:
                try {
                    pb->result = Do_PluginInit(pb->extnVersion);
                } catch (...) {
                    unregisterAfterFailure();
                    pb->result = kInitRefused;
                }
                break;
            case kFMXT_Idle:
                Do_PluginIdle(pb->parm1);
                break;
            case kFMXT_Shutdown:
                Do_PluginShutdown();
                break;
            case kFMXT_GetString:
                Do_GetString(pb->parm1, pb->parm2, pb->parm3, reinterpret_cast<fmx::uint16*>(pb->result));
                break;
            default:
                break;
        }
    } catch (...) {
    }
}
