// The plug-in's entry point and the lifecycle messages it answers.
#pragma once

#include "plugin/fmx.h"

extern FMX_ExternCallPtr gFMX_ExternCallPtr;

extern "C" FMX_EXPORT void FMExternCallProc(FMX_ExternCallPtr pb);

fmx::int32 Do_PluginInit(fmx::int16 version);
void Do_PluginIdle(fmx::uint8 idleLevel);
void Do_PluginShutdown();

// Copies string resource `whichString` (131 asks for the options string) into
// the host's buffer of `resultsize` UTF-16 units, cut to fit with a 0 unit.
void Do_GetString(fmx::uint32 whichString, fmx::uint32 winLangID, fmx::int32 resultsize, fmx::uint16* string);

// Loads string resource `whichStringID` into a host text; with
// `stripFunctionParams`, everything from its first "(" on is removed.
void Do_GetString(fmx::uint32 whichStringID, fmx::TextAutoPtr& intoHere, bool stripFunctionParams);
