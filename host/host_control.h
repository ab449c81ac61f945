// The host's side of the stand-in host library: what the host emulator and
// the tests use to see the registered functions, call them, read their
// results, and make FM_ calls fail. Plain C types only, so that it works
// across module boundaries on every platform.
#pragma once

#include "host/fmx_extern.h"

struct FMHost_FunctionInfo {
    char pluginId[5];             // the four characters and a NUL
    fmx::int16 functionId;
    fmx::unichar16 name[256];     // NUL-terminated, cut at 255 units
    fmx::unichar16 prototype[256];
    fmx::int16 minArgs;
    fmx::int16 maxArgs;
    fmx::uint32 flags;
    fmx::ExtPluginType function;
};

extern "C" {
// Forgets every registration, counter and pending failure.
FMWRAPPER_API void FMHost_Reset(void);

FMWRAPPER_API int FMHost_FunctionCount(void);
// Fills `out` with registration `index` (0-based, in registration order).
FMWRAPPER_API bool FMHost_FunctionAt(int index, FMHost_FunctionInfo* out);

// Objects the host hands to a calculation function.
FMWRAPPER_API fmx::ExprEnv* FMHost_NewExprEnv(void);
FMWRAPPER_API void FMHost_DeleteExprEnv(fmx::ExprEnv* env);
FMWRAPPER_API fmx::DataVect* FMHost_NewDataVect(void);
FMWRAPPER_API void FMHost_DeleteDataVect(fmx::DataVect* parms);
FMWRAPPER_API fmx::Data* FMHost_NewData(void);
FMWRAPPER_API void FMHost_DeleteData(fmx::Data* data);
// Copies the data's text, as UTF-16 and NUL-terminated, into `out` of
// `capacity` units; answers the text's full length.
FMWRAPPER_API int FMHost_DataText(const fmx::Data* data, fmx::unichar16* out, int capacity);

// Counts FM_ calls from now on; the k-th (1-based) reports `code` in its error record.
FMWRAPPER_API void FMHost_FailCall(long k, fmx::int32 code);
FMWRAPPER_API long FMHost_CallCount(void);
// Texts, locales and identifiers made by FM_ constructors and not yet deleted.
FMWRAPPER_API long FMHost_LiveObjects(void);
}
