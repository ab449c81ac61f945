// Reads one RTF document the way realworld_rtf_test compares it, in a process
// of its own, so that a document that crashes or hangs RichEdit or the
// plug-in costs that document alone.
//
//   realworld_rtf_reader richedit DOCUMENT OUT   RichEdit's reading
//   realworld_rtf_reader plugin DOCUMENT OUT     the plug-in's: the document
//       alone on the clipboard as "Rich Text Format", StyledClipboard called
//       through the host driver, CF_TEXT and "Mac-FMcs" read back
//   realworld_rtf_reader crash|hang - -          a reader that crashes or
//       never ends, for the test of the test's own handling of them
//
// OUT gets the reading (realworld::serialise). Exit code 0 when OUT was
// written, 3 after a crash.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "host/plugin_driver.h"
#include "style/CharStyle_FMcs.h"
#include "windows/realworld_reading.h"

namespace {

std::string readFile(const char* path, bool& ok) {
    std::string bytes;
    FILE* f = std::fopen(path, "rb");
    ok = f != nullptr;
    if (f == nullptr) return bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

bool putOnClipboard(UINT format, const std::string& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    if (h == nullptr) return false;
    char* p = static_cast<char*>(GlobalLock(h));
    std::copy(bytes.begin(), bytes.end(), p);
    p[bytes.size()] = '\0';
    GlobalUnlock(h);
    if (SetClipboardData(format, h) == nullptr) {
        GlobalFree(h);
        return false;
    }
    return true;
}

realworld::Reading readWithPlugin(const std::string& rtf) {
    realworld::Reading r;
    fmhost::PluginDriver plugin;
    if (!plugin.load(STYLEDTEXT_PLUGIN)) {
        r.status = "plug-in not loaded: " + plugin.error();
        return r;
    }
    plugin.initialise(50);
    if (!OpenClipboard(nullptr)) {
        r.status = "clipboard not opened";
        return r;
    }
    EmptyClipboard();
    const bool put = putOnClipboard(RegisterClipboardFormatA("Rich Text Format"), rtf);
    CloseClipboard();
    if (!put) {
        r.status = "document not put on the clipboard";
        return r;
    }
    fmhost::CallResult call = plugin.call(u"StyledClipboard");
    if (!call.found) r.status = "no StyledClipboard function";
    if (!IsClipboardFormatAvailable(CF_TEXT) || !IsClipboardFormatAvailable(RegisterClipboardFormatA("Mac-FMcs"))) {
        r.status = "no FileMaker text written";  // the plug-in left the clipboard as it was
    } else {
        std::unique_ptr<CharStyle_FMcs> fmcs(CharStyle_FMcs::InitFromClipboard());
        if (fmcs == nullptr) {
            r.status = "FileMaker block unreadable";
        } else {
            r.text = fmcs->getText();
            r.attributes.assign(r.text.size(), realworld::Attributes());
            for (std::int32_t i = 0; i < fmcs->count(); ++i) {
                fmcs->selectStyle(i);
                realworld::Attributes a;
                a.flags = realworld::flagsOfFace(static_cast<std::uint16_t>(fmcs->getFace()));
                a.size = fmcs->getSize();
                a.colour = fmcs->getRGB();
                const std::int32_t from = fmcs->charPos(i);
                const std::int32_t to = i + 1 < fmcs->count() ? fmcs->charPos(i + 1) : static_cast<std::int32_t>(r.text.size());
                for (std::int32_t k = from < 0 ? 0 : from; k < to && k < static_cast<std::int32_t>(r.text.size()); ++k)
                    r.attributes[static_cast<size_t>(k)] = a;
            }
        }
    }
    plugin.shutdown();
    return r;
}

LONG WINAPI reportCrash(EXCEPTION_POINTERS* e) {
    std::fprintf(stderr, "realworld_rtf_reader: exception 0x%08lx\n",
                 static_cast<unsigned long>(e->ExceptionRecord->ExceptionCode));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    // A crash ends this process at once, with no debugger and no dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(reportCrash);
    if (argc != 4) {
        std::fprintf(stderr, "usage: realworld_rtf_reader richedit|plugin DOCUMENT OUT\n");
        return 2;
    }
    const std::string mode = argv[1];
    if (mode == "crash") RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
    if (mode == "hang") Sleep(INFINITE);
    bool ok = false;
    const std::string rtf = readFile(argv[2], ok);
    if (!ok) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 2;
    }
    realworld::Reading reading;
    if (mode == "richedit") {
        // The control reads up to the end of the stream; a NUL that a writer
        // left after the document goes with it, as on the clipboard.
        reading = realworld::readWithRichEdit(rtf);
    } else if (mode == "plugin") {
        reading = readWithPlugin(rtf);
    } else {
        std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 2;
    }
    const std::string out = realworld::serialise(reading);
    FILE* f = std::fopen(argv[3], "wb");
    if (f == nullptr) return 1;
    bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    written = std::fclose(f) == 0 && written;
    return written ? 0 : 1;
}
