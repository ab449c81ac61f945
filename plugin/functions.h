// The calculation functions the plug-in registers with the host.
#pragma once

#include "plugin/fmx.h"

constexpr fmx::int16 kFunctionStyledTextVersion = 0;
constexpr fmx::int16 kFunctionStyledClipboard = 2;

// Answers the plug-in's name and version as text.
fmx::errcode Do_StyledTextVersion(fmx::int16 funcId, const fmx::ExprEnv* env, const fmx::DataVect* dataVect,
                                  fmx::Data* results);

// Reads every styled format on the clipboard, converts into the missing ones
// and puts back the plain text, "Mac-FMcs" and RTF together.
fmx::errcode Do_StyledClipboard(fmx::int16 funcId, const fmx::ExprEnv* env, const fmx::DataVect* dataVect,
                                fmx::Data* results);
