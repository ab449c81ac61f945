// The host's plug-in interface: the call record the host passes to a
// plug-in's entry point, the message selectors, and the C functions that the
// host library (FMWrapper) exports. Shared by the plug-in, our stand-in host
// library and the host emulator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <new>

#if defined(_WIN32)
#define FMX_EXPORT __declspec(dllexport)
#define FMX_IMPORT __declspec(dllimport)
#else
#define FMX_EXPORT __attribute__((visibility("default")))
#define FMX_IMPORT
#endif

#if defined(FMWRAPPER_BUILD)
#define FMWRAPPER_API FMX_EXPORT
#else
#define FMWRAPPER_API FMX_IMPORT
#endif

namespace fmx {

typedef std::int16_t int16;
typedef std::uint16_t uint16;
typedef std::int32_t int32;
typedef std::uint32_t uint32;
typedef std::uint8_t uint8;
typedef std::uint16_t unichar16;
typedef int16 errcode;
typedef std::intptr_t ptrtype;

// Host objects live in the host library; the plug-in only ever holds pointers.
class Text;
class Locale;
class Data;
class DataVect;
class QuadChar;
class ExprEnv;

enum { kEncoding_Native = 0 };
enum { kType_System = 1 };
enum { kDTText = 1 };

// The error record every FM_ call fills; Check turns a reported failure into
// the matching standard exception.
struct _fmxcpt {
    enum { kNoErr = 0, kBadAlloc = 1, kUnknown = 2 };
    int32 m_vers = 1;
    int32 m_code = kNoErr;

    void Check() const {
        if (m_code == kBadAlloc) throw std::bad_alloc();
        if (m_code == kUnknown) throw std::exception();
    }
};

// A registered calculation function.
typedef errcode (*ExtPluginType)(int16 functionId, const ExprEnv* env, const DataVect* parms, Data* result);

}  // namespace fmx

// Messages of the entry point (`whichCall`).
enum FMX_Message : std::uint8_t {
    kFMXT_Init = 0,
    kFMXT_Idle = 1,
    kFMXT_Shutdown = 4,
    kFMXT_GetString = 7,
};

// The host's call record. The plug-in reads and writes only the named fields;
// the host's callback table fills the rest.
struct FMX_ExternCallStruct {
    fmx::int16 extnVersion;      // initialise: the host's interface version
    fmx::uint8 unusedID;
    fmx::uint8 reserved1;
    fmx::uint32 reserved2;
    fmx::uint8 reserved3;
    fmx::uint8 whichCall;        // the message
    fmx::uint8 reserved4;
    fmx::uint8 parm1;            // idle level; get string: the string's identifier
    fmx::uint32 parm2;           // get string: the language the host asks for
    fmx::int32 parm3;            // get string: the buffer's capacity in UTF-16 units
    fmx::ptrtype instanceID;     // the plug-in module's instance handle
    fmx::ptrtype result;         // the answer; get string: the buffer's address on entry
    void* hostCallbacks[13];     // host callbacks the plug-in does not use
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(FMX_ExternCallStruct) == 80, "the 32-bit call record is 80 bytes");
static_assert(offsetof(FMX_ExternCallStruct, instanceID) == 20, "instanceID at 20");
static_assert(offsetof(FMX_ExternCallStruct, result) == 24, "result at 24");
#else
static_assert(sizeof(FMX_ExternCallStruct) == 144, "the 64-bit call record is 144 bytes");
static_assert(offsetof(FMX_ExternCallStruct, instanceID) == 24, "instanceID at 24");
static_assert(offsetof(FMX_ExternCallStruct, result) == 32, "result at 32");
#endif
static_assert(offsetof(FMX_ExternCallStruct, extnVersion) == 0, "extnVersion at 0");
static_assert(offsetof(FMX_ExternCallStruct, whichCall) == 9, "whichCall at 9");
static_assert(offsetof(FMX_ExternCallStruct, parm1) == 11, "parm1 at 11");
static_assert(offsetof(FMX_ExternCallStruct, parm2) == 12, "parm2 at 12");
static_assert(offsetof(FMX_ExternCallStruct, parm3) == 16, "parm3 at 16");

typedef FMX_ExternCallStruct* FMX_ExternCallPtr;
typedef void (*FMX_ExternCallProc)(FMX_ExternCallPtr pb);

// The functions of the host library, the error record always last.
extern "C" {
FMWRAPPER_API fmx::Text* FM_Text_Constructor1(fmx::_fmxcpt* x);
FMWRAPPER_API void FM_Text_Delete(fmx::Text* text, fmx::_fmxcpt* x);
FMWRAPPER_API void FM_Text_Assign(fmx::Text* text, const char* s, fmx::int32 encoding, fmx::_fmxcpt* x);
FMWRAPPER_API void FM_Text_AssignUnicode(fmx::Text* text, const fmx::unichar16* s, fmx::_fmxcpt* x);
FMWRAPPER_API fmx::uint32 FM_Text_GetSize(const fmx::Text* text, fmx::_fmxcpt* x);
FMWRAPPER_API fmx::uint32 FM_Text_Find(const fmx::Text* text, const fmx::Text* pattern, fmx::uint32 position,
                                       fmx::_fmxcpt* x);
FMWRAPPER_API void FM_Text_DeleteText(fmx::Text* text, fmx::uint32 position, fmx::uint32 amount, fmx::_fmxcpt* x);
FMWRAPPER_API fmx::Locale* FM_Locale_Constructor1(fmx::int32 type, fmx::_fmxcpt* x);
FMWRAPPER_API void FM_Locale_Delete(fmx::Locale* locale, fmx::_fmxcpt* x);
FMWRAPPER_API fmx::errcode FM_Data_SetAsText(fmx::Data* data, const fmx::Text* text, const fmx::Locale* locale,
                                             fmx::int32 type, fmx::_fmxcpt* x);
FMWRAPPER_API fmx::QuadChar* FM_QuadChar_Constructor2(char c0, char c1, char c2, char c3, fmx::_fmxcpt* x);
FMWRAPPER_API void FM_QuadChar_Delete(fmx::QuadChar* id, fmx::_fmxcpt* x);
FMWRAPPER_API fmx::errcode FM_ExprEnv_RegisterExternalFunction(const fmx::QuadChar* pluginId, fmx::int16 functionId,
                                                               const fmx::Text* name, const fmx::Text* prototype,
                                                               fmx::int16 minArgs, fmx::int16 maxArgs,
                                                               fmx::uint32 flags, fmx::ExtPluginType function,
                                                               fmx::_fmxcpt* x);
FMWRAPPER_API fmx::errcode FM_ExprEnv_UnRegisterExternalFunction(const fmx::QuadChar* pluginId,
                                                                 fmx::int16 functionId, fmx::_fmxcpt* x);
}

// A failed Find answers this position; deleting from it removes nothing.
constexpr fmx::uint32 kFMX_NotFound = 0xFFFFFFFFu;
