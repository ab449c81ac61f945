#include "host/plugin_driver.h"

#include <cstring>
#include <vector>

#include "codepage/utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace fmhost {

PluginDriver::~PluginDriver() {
    if (module_ == nullptr) return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(module_));
#else
    dlclose(module_);
#endif
}

bool PluginDriver::load(const std::string& path) {
#ifdef _WIN32
    HMODULE m = LoadLibraryA(path.c_str());
    if (m == nullptr) {
        error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    module_ = m;
    entry_ = reinterpret_cast<FMX_ExternCallProc>(reinterpret_cast<void*>(GetProcAddress(m, "FMExternCallProc")));
#else
    module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
        const char* why = dlerror();
        error_ = "cannot load " + path + ": " + (why ? why : "unknown error");
        return false;
    }
    entry_ = reinterpret_cast<FMX_ExternCallProc>(dlsym(module_, "FMExternCallProc"));
#endif
    if (entry_ == nullptr) {
        error_ = path + " has no entry point FMExternCallProc";
        return false;
    }
    return true;
}

fmx::ptrtype PluginDriver::send(fmx::uint8 whichCall, fmx::ptrtype resultBefore, fmx::int16 version, fmx::uint8 parm1,
                                fmx::uint32 parm2, fmx::int32 parm3) {
    FMX_ExternCallStruct record;
    std::memset(&record, 0, sizeof record);
    record.extnVersion = version;
    record.whichCall = whichCall;
    record.parm1 = parm1;
    record.parm2 = parm2;
    record.parm3 = parm3;
    record.instanceID = reinterpret_cast<fmx::ptrtype>(module_);
    record.result = resultBefore;
    entry_(&record);
    return record.result;
}

std::u16string PluginDriver::getString(fmx::uint8 id, fmx::int32 capacity) {
    // A guard zone after the buffer shows any write past the capacity.
    constexpr size_t kGuard = 64;
    size_t units = capacity > 0 ? static_cast<size_t>(capacity) : 0;
    std::vector<fmx::unichar16> buffer(units + kGuard, 0xBEEF);
    send(kFMXT_GetString, reinterpret_cast<fmx::ptrtype>(buffer.data()), 0, id, 0x0409, capacity);
    std::u16string text;
    for (size_t i = 0; i < units && buffer[i] != 0; ++i) text.push_back(static_cast<char16_t>(buffer[i]));
    if (capacity <= 0) text.clear();
    return text;
}

CallResult PluginDriver::call(const std::u16string& name) {
    CallResult out;
    FMHost_FunctionInfo info;
    for (int i = 0; i < FMHost_FunctionCount(); ++i) {
        if (!FMHost_FunctionAt(i, &info)) continue;
        std::u16string registered;
        for (const fmx::unichar16* p = info.name; *p; ++p) registered.push_back(static_cast<char16_t>(*p));
        if (registered != name) continue;
        fmx::ExprEnv* env = FMHost_NewExprEnv();
        fmx::DataVect* parms = FMHost_NewDataVect();
        fmx::Data* result = FMHost_NewData();
        out.found = true;
        out.error = info.function(info.functionId, env, parms, result);
        int length = FMHost_DataText(result, nullptr, 0);
        std::vector<fmx::unichar16> text(static_cast<size_t>(length) + 1);
        FMHost_DataText(result, text.data(), length + 1);
        for (int k = 0; k < length; ++k) out.text.push_back(static_cast<char16_t>(text[static_cast<size_t>(k)]));
        FMHost_DeleteData(result);
        FMHost_DeleteDataVect(parms);
        FMHost_DeleteExprEnv(env);
        break;
    }
    return out;
}

std::string toUtf8(const std::u16string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        codepage::appendUtf8(out, c);
    }
    return out;
}

std::u16string fromUtf8(const std::string& s) {
    // Names on a command line are ASCII in practice; other bytes pass as Latin-1.
    std::u16string out;
    for (unsigned char c : s) out.push_back(static_cast<char16_t>(c));
    return out;
}

}  // namespace fmhost
