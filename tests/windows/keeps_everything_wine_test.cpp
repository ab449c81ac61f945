// StyledClipboard adds and never takes away, against Wine's real clipboard:
// another program copies as a browser, Word or FileMaker does, text in five
// scripts beside an image, a metafile, a private format (one of them
// rendered only when asked) and the marks that keep a copy out of clipboard
// history; Word and FileMaker also copy the text 3,000 times, which the call
// converts on two threads. After the call every kept format is equal (Word's
// RTF and the browser's "HTML Format" among them), CF_UNICODETEXT holds the
// whole text, and Wine's RichEdit reads the whole text and its bold words
// from the RTF. The test runs once per locale (en_US, ru_RU, ja_JP): Wine
// takes the ANSI code page from it.
//
// With STYLEDTEXT_HTML_DUMP naming a folder, the "HTML Format" written for
// the Word and FileMaker copies is saved there with the text it must show,
// for Chromium to check (tests/html_browser/wine_blocks_browser_test.cpp).
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "windows/copy_kinds.h"
#include "windows/other_program.h"
#include "windows/richedit.h"

namespace {

using namespace otherprogram;

std::vector<unsigned char> metafileBits() {
    std::vector<unsigned char> bits;
    if (!OpenClipboard(nullptr)) return bits;
    HENHMETAFILE emf = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    const UINT size = emf != nullptr ? GetEnhMetaFileBits(emf, 0, nullptr) : 0;
    bits.resize(size);
    if (size > 0) GetEnhMetaFileBits(emf, size, bits.data());
    CloseClipboard();
    return bits;
}

std::wstring heldUnicode() {
    const std::string bytes = held(CF_UNICODETEXT);
    std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    return wide.substr(0, wide.find(L'\0'));
}

class KeepsEverythingUnderWine : public OtherProgramsTest {
  protected:
    // Every format the copy holds that the call does not write, with its bytes.
    std::vector<std::pair<std::string, std::string>> keptFormats() {
        std::vector<std::pair<std::string, std::string>> kept;
        for (const char* name : {copykinds::kPrivateFormat, "ExcludeClipboardContentFromMonitorProcessing",
                                 "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"})
            if (has(name)) kept.emplace_back(name, held(RegisterClipboardFormatA(name)));
        if (IsClipboardFormatAvailable(CF_DIB)) kept.emplace_back("CF_DIB", held(CF_DIB));
        return kept;
    }

    void dumpHtml(const char* kind) {
        char folder[MAX_PATH] = {};
        if (GetEnvironmentVariableA("STYLEDTEXT_HTML_DUMP", folder, MAX_PATH) == 0) return;
        // A folder of the Unix side is on Wine's drive Z.
        const std::string root = folder[0] == '/' ? "Z:" + std::string(folder) : std::string(folder);
        const std::string base = root + "/" + std::to_string(GetACP()) + "-" + kind;
        std::ofstream(base + ".html", std::ios::binary) << upToNul(held(RegisterClipboardFormatA("HTML Format")));
        std::ofstream(base + ".txt", std::ios::binary) << copykinds::utf8Of(copykinds::wholeText());
    }
};

TEST_F(KeepsEverythingUnderWine, EveryKindOfCopy) {
    const struct {
        const char* kind;
        bool metafile;
        bool htmlWritten;
        bool rtfWritten;
        bool large;
    } kinds[] = {{"copy-browser", false, false, true, false},
                 {"copy-word", true, true, false, false},
                 {"copy-filemaker", false, true, true, false},
                 {"copy-word-large", true, true, false, true},
                 {"copy-filemaker-large", false, true, true, true}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(std::string(k.kind) + " in code page " + std::to_string(GetACP()));
        start(k.kind);
        const auto kept = keptFormats();
        const std::vector<unsigned char> emf = k.metafile ? metafileBits() : std::vector<unsigned char>();
        const std::string html = held(RegisterClipboardFormatA("HTML Format"));
        const std::string rtfCopied = held(RegisterClipboardFormatA("Rich Text Format"));
        if (k.metafile) {
            ASSERT_FALSE(emf.empty()) << "the copy's metafile";
        }

        EXPECT_EQ(styledClipboard(), 0);
        EXPECT_TRUE(has("Mac-FMcs"));
        EXPECT_EQ(keptFormats(), kept) << "every format the call does not write, with its bytes";
        const std::wstring text = copykinds::textOf(k.kind);
        if (std::string(k.kind).rfind("copy-word", 0) == 0) {
            EXPECT_EQ(held(RegisterClipboardFormatA(copykinds::kPrivateFormat)), copykinds::privateBytes())
                << "the promised format, rendered by its owner when a paste asks";
        }
        if (k.metafile) {
            EXPECT_EQ(metafileBits(), emf) << "the metafile, bit for bit";
        }
        if (!k.htmlWritten) {
            EXPECT_EQ(held(RegisterClipboardFormatA("HTML Format")), html);
        }
        if (!k.rtfWritten) {
            ASSERT_FALSE(rtfCopied.empty()) << "the copy's RTF";
            EXPECT_EQ(held(RegisterClipboardFormatA("Rich Text Format")), rtfCopied) << "the copying program's RTF";
        }
        EXPECT_TRUE(heldUnicode() == text) << "the copying program's own Unicode text";

        const std::string rtf = upToNul(held(RegisterClipboardFormatA("Rich Text Format")));
        // A control of its own for each copy: Wine's RichEdit takes seconds
        // to replace a large document it holds.
        RichEdit edit;
        if (!edit.ok()) {
            ADD_FAILURE() << "no RichEdit control";
            finish();
            continue;
        }
        edit.streamIn(rtf);
        EXPECT_TRUE(edit.unicodeText() == copykinds::crOnly(text)) << rtf.substr(0, 400);
        // Only bold switched on is compared: Wine's RichEdit starts a stream
        // in its own default font, which is bold. In a large copy, the first
        // and the last time the text comes.
        const long repeats = k.large ? copykinds::kLargeRepeats : 1;
        const long step =
            static_cast<long>(copykinds::crOnly(copykinds::wholeText() + copykinds::largeTail()).size()) + 1;
        for (long at : {0L, (repeats - 1) * step}) {
            EXPECT_NE(edit.formatAt(at + copykinds::kBoldStart).dwEffects & CFE_BOLD, 0u) << "the word is bold";
            EXPECT_NE(edit.formatAt(at + copykinds::kBoldStart + copykinds::kBoldLength - 1).dwEffects & CFE_BOLD, 0u);
        }
        if (k.htmlWritten && !k.large) dumpHtml(k.kind + 5);
        finish();
    }
}

}  // namespace
