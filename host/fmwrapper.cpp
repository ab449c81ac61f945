// The stand-in host library: host texts, locales, data, identifiers and the
// registry of external functions, behind the FM_ functions.
#include <cstring>
#include <string>
#include <vector>

#include "host/host_control.h"

namespace {

struct HostText {
    std::u16string units;
};
struct HostLocale {
    fmx::int32 type;
};
struct HostQuadChar {
    char c[4];
};
struct HostData {
    std::u16string text;
};
struct HostExprEnv {};
struct HostDataVect {};

struct Registration {
    std::string pluginId;
    fmx::int16 functionId;
    std::u16string name;
    std::u16string prototype;
    fmx::int16 minArgs;
    fmx::int16 maxArgs;
    fmx::uint32 flags;
    fmx::ExtPluginType function;
};

struct HostState {
    std::vector<Registration> registry;
    long calls = 0;
    long failAt = 0;
    fmx::int32 failCode = 0;
    long liveObjects = 0;
};

HostState& host() {
    static HostState h;
    return h;
}

// Counts one FM_ call and, when it is the chosen one, reports the chosen failure.
void enter(fmx::_fmxcpt* x) {
    HostState& h = host();
    ++h.calls;
    if (x == nullptr) return;
    x->m_code = fmx::_fmxcpt::kNoErr;
    if (h.failAt != 0 && h.calls == h.failAt) x->m_code = h.failCode;
}

bool failed(const fmx::_fmxcpt* x) { return x != nullptr && x->m_code != fmx::_fmxcpt::kNoErr; }

HostText* asText(fmx::Text* t) { return reinterpret_cast<HostText*>(t); }
const HostText* asText(const fmx::Text* t) { return reinterpret_cast<const HostText*>(t); }

std::string pluginIdOf(const fmx::QuadChar* id) {
    const HostQuadChar* q = reinterpret_cast<const HostQuadChar*>(id);
    return q == nullptr ? std::string() : std::string(q->c, 4);
}

void copyUnits(const std::u16string& from, fmx::unichar16* to, size_t capacity) {
    size_t n = from.size() < capacity - 1 ? from.size() : capacity - 1;
    for (size_t i = 0; i < n; ++i) to[i] = from[i];
    to[n] = 0;
}

}  // namespace

extern "C" {

fmx::Text* FM_Text_Constructor1(fmx::_fmxcpt* x) {
    enter(x);
    ++host().liveObjects;
    return reinterpret_cast<fmx::Text*>(new HostText());
}

void FM_Text_Delete(fmx::Text* text, fmx::_fmxcpt* x) {
    enter(x);
    if (text == nullptr) return;
    --host().liveObjects;
    delete asText(text);
}

void FM_Text_Assign(fmx::Text* text, const char* s, fmx::int32, fmx::_fmxcpt* x) {
    enter(x);
    if (failed(x) || text == nullptr || s == nullptr) return;
    // The native encoding here is Latin-1: each byte is one code unit.
    std::u16string units;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) units.push_back(*p);
    asText(text)->units = units;
}

void FM_Text_AssignUnicode(fmx::Text* text, const fmx::unichar16* s, fmx::_fmxcpt* x) {
    enter(x);
    if (failed(x) || text == nullptr || s == nullptr) return;
    std::u16string units;
    for (; *s; ++s) units.push_back(static_cast<char16_t>(*s));
    asText(text)->units = units;
}

fmx::uint32 FM_Text_GetSize(const fmx::Text* text, fmx::_fmxcpt* x) {
    enter(x);
    return text == nullptr ? 0 : static_cast<fmx::uint32>(asText(text)->units.size());
}

fmx::uint32 FM_Text_Find(const fmx::Text* text, const fmx::Text* pattern, fmx::uint32 position, fmx::_fmxcpt* x) {
    enter(x);
    if (text == nullptr || pattern == nullptr) return kFMX_NotFound;
    size_t at = asText(text)->units.find(asText(pattern)->units, position);
    return at == std::u16string::npos ? kFMX_NotFound : static_cast<fmx::uint32>(at);
}

void FM_Text_DeleteText(fmx::Text* text, fmx::uint32 position, fmx::uint32 amount, fmx::_fmxcpt* x) {
    enter(x);
    if (failed(x) || text == nullptr) return;
    std::u16string& units = asText(text)->units;
    if (position >= units.size()) return;
    units.erase(position, amount);
}

fmx::Locale* FM_Locale_Constructor1(fmx::int32 type, fmx::_fmxcpt* x) {
    enter(x);
    ++host().liveObjects;
    return reinterpret_cast<fmx::Locale*>(new HostLocale{type});
}

void FM_Locale_Delete(fmx::Locale* locale, fmx::_fmxcpt* x) {
    enter(x);
    if (locale == nullptr) return;
    --host().liveObjects;
    delete reinterpret_cast<HostLocale*>(locale);
}

fmx::errcode FM_Data_SetAsText(fmx::Data* data, const fmx::Text* text, const fmx::Locale*, fmx::int32,
                               fmx::_fmxcpt* x) {
    enter(x);
    if (failed(x)) return 0;
    if (data == nullptr || text == nullptr) return 1;
    reinterpret_cast<HostData*>(data)->text = asText(text)->units;
    return 0;
}

fmx::QuadChar* FM_QuadChar_Constructor2(char c0, char c1, char c2, char c3, fmx::_fmxcpt* x) {
    enter(x);
    ++host().liveObjects;
    return reinterpret_cast<fmx::QuadChar*>(new HostQuadChar{{c0, c1, c2, c3}});
}

void FM_QuadChar_Delete(fmx::QuadChar* id, fmx::_fmxcpt* x) {
    enter(x);
    if (id == nullptr) return;
    --host().liveObjects;
    delete reinterpret_cast<HostQuadChar*>(id);
}

fmx::errcode FM_ExprEnv_RegisterExternalFunction(const fmx::QuadChar* pluginId, fmx::int16 functionId,
                                                 const fmx::Text* name, const fmx::Text* prototype,
                                                 fmx::int16 minArgs, fmx::int16 maxArgs, fmx::uint32 flags,
                                                 fmx::ExtPluginType function, fmx::_fmxcpt* x) {
    enter(x);
    if (failed(x)) return 0;
    if (pluginId == nullptr || name == nullptr || prototype == nullptr || function == nullptr) return 1;
    std::string id = pluginIdOf(pluginId);
    for (const Registration& r : host().registry)
        if (r.pluginId == id && r.functionId == functionId) return 1;  // already registered
    host().registry.push_back(Registration{id, functionId, asText(name)->units, asText(prototype)->units, minArgs,
                                           maxArgs, flags, function});
    return 0;
}

fmx::errcode FM_ExprEnv_UnRegisterExternalFunction(const fmx::QuadChar* pluginId, fmx::int16 functionId,
                                                   fmx::_fmxcpt* x) {
    enter(x);
    if (failed(x)) return 0;
    std::string id = pluginIdOf(pluginId);
    auto& reg = host().registry;
    for (auto it = reg.begin(); it != reg.end(); ++it) {
        if (it->pluginId == id && it->functionId == functionId) {
            reg.erase(it);
            return 0;
        }
    }
    return 1;
}

void FMHost_Reset(void) { host() = HostState{}; }

int FMHost_FunctionCount(void) { return static_cast<int>(host().registry.size()); }

bool FMHost_FunctionAt(int index, FMHost_FunctionInfo* out) {
    if (out == nullptr || index < 0 || index >= FMHost_FunctionCount()) return false;
    const Registration& r = host().registry[static_cast<size_t>(index)];
    std::memset(out->pluginId, 0, sizeof out->pluginId);
    std::memcpy(out->pluginId, r.pluginId.data(), r.pluginId.size() < 4 ? r.pluginId.size() : 4);
    out->functionId = r.functionId;
    copyUnits(r.name, out->name, 256);
    copyUnits(r.prototype, out->prototype, 256);
    out->minArgs = r.minArgs;
    out->maxArgs = r.maxArgs;
    out->flags = r.flags;
    out->function = r.function;
    return true;
}

fmx::ExprEnv* FMHost_NewExprEnv(void) { return reinterpret_cast<fmx::ExprEnv*>(new HostExprEnv()); }
void FMHost_DeleteExprEnv(fmx::ExprEnv* env) { delete reinterpret_cast<HostExprEnv*>(env); }
fmx::DataVect* FMHost_NewDataVect(void) { return reinterpret_cast<fmx::DataVect*>(new HostDataVect()); }
void FMHost_DeleteDataVect(fmx::DataVect* parms) { delete reinterpret_cast<HostDataVect*>(parms); }
fmx::Data* FMHost_NewData(void) { return reinterpret_cast<fmx::Data*>(new HostData()); }
void FMHost_DeleteData(fmx::Data* data) { delete reinterpret_cast<HostData*>(data); }

int FMHost_DataText(const fmx::Data* data, fmx::unichar16* out, int capacity) {
    if (data == nullptr) return 0;
    const std::u16string& text = reinterpret_cast<const HostData*>(data)->text;
    if (out != nullptr && capacity > 0) copyUnits(text, out, static_cast<size_t>(capacity));
    return static_cast<int>(text.size());
}

void FMHost_FailCall(long k, fmx::int32 code) {
    host().calls = 0;
    host().failAt = k;
    host().failCode = code;
}

long FMHost_CallCount(void) { return host().calls; }

long FMHost_LiveObjects(void) { return host().liveObjects; }

}  // extern "C"
