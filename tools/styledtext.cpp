// styledtext: the plug-in's clipboard conversion without FileMaker.
//   convert  puts files on the clipboard, runs the plug-in's StyledClipboard
//            and writes every format the clipboard then holds;
//   show     reads one container and prints its text and runs.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "platform/clipboard_control.h"
#endif

#include "host/plugin_driver.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"
#include "style/CharStyle_styl.h"
#include "style/clipboard_session.h"
#include "tools/clipboard_files.h"
#include "tools/format_files.h"
#include "tools/huge_pages.h"
#include "tools/run_view.h"

namespace {

const char kRtfFormat[] = "Rich Text Format";

const char kUsage[] =
    "usage: styledtext COMMAND [OPTIONS]\n"
    "\n"
    "Converts styled text between the clipboard formats of FileMaker (text with\n"
    "\"Mac-FMcs\"), word processors (\"Rich Text Format\"), browsers (\"HTML Format\")\n"
    "and the old style scrap (\"Mac-styl\") with the StyledText plug-in, and shows\n"
    "styled text.\n"
    "\n"
    "commands:\n"
    "  convert   run the plug-in's StyledClipboard on files and write the results\n"
    "  show      print the text and style runs of one clipboard format\n"
    "\n"
    "Run 'styledtext COMMAND --help' for a command's options.\n";

const char kConvertUsage[] =
    "usage: styledtext convert [--text FILE] [--unicode FILE] [--fmcs FILE] [--styl FILE]\n"
    "                          [--rtf FILE] [--cfhtml FILE] --out DIR [--plugin PATH]\n"
    "                          [--codepage N]\n"
    "\n"
    "Puts the given files on the clipboard (after emptying it): --text as plain\n"
    "text (CF_TEXT, in the ANSI code page), --unicode as Unicode text (the file in\n"
    "UTF-8, put as CF_UNICODETEXT), --fmcs as a whole \"Mac-FMcs\" block, --styl as\n"
    "a whole \"Mac-styl\" block, --rtf as \"Rich Text Format\", --cfhtml as\n"
    "\"HTML Format\" (a file without the format's header is wrapped in one, the\n"
    "whole file being the fragment). With no input file the clipboard is used as\n"
    "it is.\n"
    "Then loads the plug-in as FileMaker does (by default the StyledText module\n"
    "beside this program), calls StyledClipboard, and writes each format the\n"
    "clipboard holds into DIR: text.txt, unicode.txt (in UTF-8), fmcs.bin,\n"
    "styl.bin, rtf.rtf, cfhtml.html (the whole block, header included).\n"
    "--codepage N gives the system's ANSI code page (1252, 1251, 932, 65001...)\n"
    "where it can be chosen; on Windows it must be the system's own.\n";

const char kShowUsage[] =
    "usage: styledtext show (--fmcs FILE --text FILE [--unicode FILE] | --styl FILE --text FILE |\n"
    "                        --rtf FILE | --cfhtml FILE)\n"
    "                       [--json | --ansi | --html] [--codepage N]\n"
    "\n"
    "Reads the styled text through the plug-in's own reader and prints it in\n"
    "UTF-8, converted from the ANSI code page (--codepage N where it can be\n"
    "chosen); FileMaker's text takes the characters the code page lacks from\n"
    "--unicode, its Unicode text in UTF-8:\n"
    "  (default)  a table of runs: start, end, size, colour, face\n"
    "  --json     {\"text\": ..., \"runs\": [{\"start\", \"size\", \"face\", \"colour\"}]}\n"
    "  --ansi     the text with terminal bold, italic, underline, strike and colour\n"
    "  --html     a standalone web page showing the styled text\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "styledtext: %s\n", message.c_str());
    return 1;
}

int usageError(const std::string& message, const char* usage) {
    std::fprintf(stderr, "styledtext: %s\n\n%s", message.c_str(), usage);
    return 2;
}

// Parses "--name VALUE" pairs and lone flags; answers false on anything else.
bool parseOptions(int argc, char** argv, int first, const std::vector<std::string>& withValue,
                  const std::vector<std::string>& flags, std::map<std::string, std::string>& out, std::string& error) {
    for (int i = first; i < argc; ++i) {
        std::string arg = argv[i];
        bool isValue = std::find(withValue.begin(), withValue.end(), arg) != withValue.end();
        bool isFlag = std::find(flags.begin(), flags.end(), arg) != flags.end();
        if (isFlag) {
            out[arg] = "";
        } else if (isValue) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            out[arg] = argv[++i];
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    return true;
}

std::string executableDirectory() {
#ifdef _WIN32
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::string(path, n)).parent_path().string();
#else
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : path.parent_path().string();
#endif
}

std::string defaultPlugin() {
#ifdef _WIN32
    const char* name = sizeof(void*) == 8 ? "StyledText.fmx64" : "StyledText.fmx";
#else
    const char* name = "StyledText.so";
#endif
    return (std::filesystem::path(executableDirectory()) / name).string();
}

// Each clipboard format the tool moves: the option that puts a file on the
// clipboard in it, the file `convert` writes it to, and whether the
// clipboard's bytes end in a NUL that the file does not hold.
struct FormatArgument {
    const char* option;
    const char* file;
    const char* format;  // null: CF_TEXT
    bool nulTerminated;
};
const FormatArgument kFormatFiles[] = {{"--text", "text.txt", nullptr, true},
                                       {"--fmcs", "fmcs.bin", CharStyle_FMcs::kFormatName, false},
                                       {"--styl", "styl.bin", CharStyle_styl::kFormatName, false},
                                       {"--rtf", "rtf.rtf", kRtfFormat, true},
                                       {"--cfhtml", "cfhtml.html", CharStyle_HTML::kFormatName, true}};

// Makes `value` the ANSI code page the conversions use. Windows has its own,
// which the value must name; the stand-in takes any it knows.
bool useCodePage(const std::string& value, std::string& error) {
    char* end = nullptr;
    const unsigned long cp = std::strtoul(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || cp == 0 || cp > 65535) {
        error = "--codepage needs a code page number, such as 1252";
        return false;
    }
#ifdef _WIN32
    if (GetACP() != cp) {
        error = "this system's ANSI code page is " + std::to_string(GetACP()) + ", not " + value;
        return false;
    }
#else
    if (cp != CP_UTF8 && MultiByteToWideChar(static_cast<UINT>(cp), 0, "a", 1, nullptr, 0) != 1) {
        error = "code page " + value + " is not one this build knows";
        return false;
    }
    standin::setAnsiCodePage(static_cast<UINT>(cp));
#endif
    return true;
}

// Puts each given input on the emptied clipboard as the plug-in expects it,
// in one opening of the clipboard, so that no other program's copy mixes in.
bool placeInputs(const std::map<std::string, std::string>& options, std::string& error) {
    clipboard::Session session;
    if (!session.open(clipboard::Purpose::writing) || !tool::emptyClipboard()) {
        error = "cannot open the clipboard";
        return false;
    }
    for (const FormatArgument& in : kFormatFiles) {
        auto it = options.find(in.option);
        if (it == options.end()) continue;
        if (std::strcmp(in.option, "--cfhtml") == 0) {
            if (!tool::putHtmlFileOnClipboard(it->second, error)) return false;
            continue;
        }
        if (!tool::putFileOnClipboard(in.format, it->second, in.nulTerminated, error)) return false;
    }
    auto unicode = options.find("--unicode");
    if (unicode != options.end() && !tool::putUnicodeFileOnClipboard(unicode->second, error)) return false;
    return true;
}

int convert(int argc, char** argv) {
    std::map<std::string, std::string> options;
    std::string error;
    if (argc > 2 && std::strcmp(argv[2], "--help") == 0) {
        std::fputs(kConvertUsage, stdout);
        return 0;
    }
    if (!parseOptions(
            argc, argv, 2,
            {"--text", "--unicode", "--fmcs", "--styl", "--rtf", "--cfhtml", "--out", "--plugin", "--codepage"}, {},
            options, error))
        return usageError(error, kConvertUsage);
    if (options.count("--codepage") && !useCodePage(options["--codepage"], error))
        return usageError(error, kConvertUsage);
    if (!options.count("--out")) return usageError("--out DIR is required", kConvertUsage);
    const std::string out = options["--out"];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec) return fail("cannot create " + out + ": " + ec.message());

    const bool anyInput = options.count("--text") || options.count("--unicode") || options.count("--fmcs") ||
                          options.count("--styl") || options.count("--rtf") || options.count("--cfhtml");
    if (anyInput && !placeInputs(options, error)) return fail(error);

    fmhost::PluginDriver plugin;
    const std::string pluginPath = options.count("--plugin") ? options["--plugin"] : defaultPlugin();
    if (!plugin.load(pluginPath)) return fail(plugin.error());
    if (plugin.initialise(50) != 50) return fail("the plug-in refused to initialise");
    fmhost::CallResult answer = plugin.call(u"StyledClipboard");
    plugin.shutdown();
    if (!answer.found) return fail("the plug-in registered no function StyledClipboard");

    // Every format of one copy: the clipboard stays open across the reads.
    clipboard::Session session;
    if (!session.open(clipboard::Purpose::reading)) return fail("cannot open the clipboard");
    std::vector<tool::FormatFile> files;
    for (const FormatArgument& o : kFormatFiles)
        files.push_back({o.format, o.nulTerminated, false, (std::filesystem::path(out) / o.file).string()});
    files.push_back({nullptr, true, true, (std::filesystem::path(out) / "unicode.txt").string()});
    const std::vector<tool::FormatFileResult> results = tool::writeFormatsToFiles(files);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const bool unicode = files[i].unicodeText;
        const char* name = unicode ? "unicode.txt" : kFormatFiles[i].file;
        switch (results[i].written) {
            case tool::FormatWritten::failed:
                return fail(results[i].error);
            case tool::FormatWritten::absent:
                std::filesystem::remove(files[i].path, ec);  // no stale result from an earlier run
                break;
            case tool::FormatWritten::written:
                std::printf("%-11s %10zu bytes  %s\n", name, results[i].bytes,
                            unicode               ? "CF_UNICODETEXT, in UTF-8"
                            : files[i].formatName ? files[i].formatName
                                                  : "CF_TEXT");
                break;
        }
    }
    std::printf("StyledClipboard answered %d\n", answer.error);
    return 0;
}

int show(int argc, char** argv) {
    std::map<std::string, std::string> options;
    std::string error;
    if (argc > 2 && std::strcmp(argv[2], "--help") == 0) {
        std::fputs(kShowUsage, stdout);
        return 0;
    }
    if (!parseOptions(argc, argv, 2, {"--text", "--unicode", "--fmcs", "--styl", "--rtf", "--cfhtml", "--codepage"},
                      {"--json", "--ansi", "--html"}, options, error))
        return usageError(error, kShowUsage);
    if (options.count("--codepage") && !useCodePage(options["--codepage"], error)) return usageError(error, kShowUsage);
    if (options.count("--unicode") && !options.count("--fmcs"))
        return usageError("--unicode goes with --fmcs: it is the Unicode text beside FileMaker's", kShowUsage);
    const int sources = static_cast<int>(options.count("--fmcs") + options.count("--styl") + options.count("--rtf") +
                                         options.count("--cfhtml"));
    if (sources != 1) return usageError("give exactly one of --fmcs, --styl, --rtf, --cfhtml", kShowUsage);
    if ((options.count("--fmcs") || options.count("--styl")) && !options.count("--text"))
        return usageError("--fmcs and --styl need --text", kShowUsage);
    if (options.count("--rtf") && options.count("--text"))
        return usageError("--rtf carries its own text; --text does not go with it", kShowUsage);
    if (options.count("--cfhtml") && options.count("--text"))
        return usageError("--cfhtml carries its own text; --text does not go with it", kShowUsage);
    if (options.count("--json") + options.count("--ansi") + options.count("--html") > 1)
        return usageError("choose one of --json, --ansi, --html", kShowUsage);
    if (!placeInputs(options, error)) return fail(error);

    std::string title;
    tool::StyledText styled;
    bool parseFailed = false;
    if (options.count("--fmcs")) {
        std::unique_ptr<CharStyle_FMcs> c(CharStyle_FMcs::InitFromClipboard());
        if (!c) return fail(options["--fmcs"] + ": not a usable \"Mac-FMcs\" block (malformed or truncated)");
        c->readForeignFromClipboard();
        styled = tool::readContainer(*c);
        title = options["--fmcs"];
    } else if (options.count("--styl")) {
        std::unique_ptr<CharStyle_styl> c(CharStyle_styl::InitFromClipboard());
        if (!c) return fail("cannot read the text and \"Mac-styl\" block from the clipboard");
        styled = tool::readContainer(*c);
        title = options["--styl"];
    } else if (options.count("--cfhtml")) {
        std::unique_ptr<CharStyle_HTML> c(CharStyle_HTML::InitFromClipboard());
        if (!c) return fail("cannot read the \"HTML Format\" block from the clipboard");
        if (c->parsingError()) return fail(options["--cfhtml"] + ": the \"HTML Format\" header is not valid");
        styled = tool::readContainer(*c);
        title = options["--cfhtml"];
    } else {
        std::unique_ptr<CharStyle_RTF> c(CharStyle_RTF::InitFromClipboard());
        if (!c) return fail("cannot read the RTF from the clipboard");
        styled = tool::readContainer(*c);
        parseFailed = c->parsingError();
        title = options["--rtf"];
    }
    tool::emptyClipboard();

    std::string text;
    if (options.count("--json"))
        text = tool::asJson(styled);
    else if (options.count("--ansi"))
        text = tool::asAnsi(styled);
    else if (options.count("--html"))
        text = tool::asHtml(styled, title);
    else
        text = tool::asTable(styled);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    if (parseFailed)
        return fail(options["--rtf"] + ": the RTF does not parse; shown is what was read before the error");
    return 0;
}

}  // namespace

// Destroys the window the clipboard was opened with, however main ends.
struct OwnerWindowGuard {
    OwnerWindowGuard() = default;
    OwnerWindowGuard(const OwnerWindowGuard&) = delete;
    OwnerWindowGuard& operator=(const OwnerWindowGuard&) = delete;
    ~OwnerWindowGuard() { clipboard::destroyOwnerWindow(); }
};

namespace {

// The heap a run needs grows with the files it reads: the blocks of every
// format, the reader's text and runs, at most about six times the files.
std::size_t heapForFiles(int argc, char** argv) {
    constexpr std::size_t kHeapPerFileByte = 8;
    std::size_t total = 0;
    for (int i = 2; i < argc; ++i) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(argv[i], ec)) continue;
        const std::uintmax_t size = std::filesystem::file_size(argv[i], ec);
        if (!ec) total += static_cast<std::size_t>(size);
    }
    return total * kHeapPerFileByte;
}

}  // namespace

int main(int argc, char** argv) {
    tool::takeHeapOnHugePages(heapForFiles(argc, argv));
    const OwnerWindowGuard ownerWindow;
    if (argc < 2) return usageError("missing command", kUsage);
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    try {
        if (command == "convert") return convert(argc, argv);
        if (command == "show") return show(argc, argv);
    } catch (const std::exception& e) {
        return fail(std::string("internal error: ") + e.what());
    }
    return usageError("unknown command " + command, kUsage);
}
