// Loads a plug-in module and drives it through the call record exactly as
// the host does. Used by the host emulator and by the command-line tool.
#pragma once

#include <string>

#include "host/host_control.h"

namespace fmhost {

struct CallResult {
    bool found = false;        // a function of that name was registered
    fmx::errcode error = 0;
    std::u16string text;
};

class PluginDriver {
  public:
    PluginDriver() = default;
    ~PluginDriver();
    PluginDriver(const PluginDriver&) = delete;
    PluginDriver& operator=(const PluginDriver&) = delete;

    // Loads the module and finds its entry point; on failure `error()` says why.
    bool load(const std::string& path);
    const std::string& error() const { return error_; }

    // Sends one message; answers the record's `result` after the call.
    fmx::ptrtype send(fmx::uint8 whichCall, fmx::ptrtype resultBefore, fmx::int16 version = 0, fmx::uint8 parm1 = 0,
                      fmx::uint32 parm2 = 0, fmx::int32 parm3 = 0);

    fmx::ptrtype initialise(fmx::int16 version) { return send(kFMXT_Init, 0, version); }
    void idle(fmx::uint8 level) { send(kFMXT_Idle, 0, 0, level); }
    void shutdown() { send(kFMXT_Shutdown, 0); }

    // Get string into a buffer of `capacity` units; the buffer's text up to its 0 unit.
    std::u16string getString(fmx::uint8 id, fmx::int32 capacity);

    // Calls the registered function of that name with no parameters.
    CallResult call(const std::u16string& name);

  private:
    void* module_ = nullptr;
    FMX_ExternCallProc entry_ = nullptr;
    std::string error_;
};

std::string toUtf8(const std::u16string& s);
std::u16string fromUtf8(const std::string& s);

}  // namespace fmhost
