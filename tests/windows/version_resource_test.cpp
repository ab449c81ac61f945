// The built plug-in's version resource, read through the Windows version
// API as any Windows program reads it, against the project's version and
// against what the plug-in's StyledTextVersion answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/plugin_driver.h"
#include "support/project_version.h"

namespace {

std::wstring widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

class VersionResourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(project.valid) << STYLEDTEXT_PROJECT_VERSION;
        const std::wstring path = widen(STYLEDTEXT_PLUGIN);
        DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
        ASSERT_NE(size, 0u) << "no version resource in " << STYLEDTEXT_PLUGIN;
        info.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    }

    // A string of the US English, Unicode block the resource script writes;
    // "(absent)" when the block or the string is not there.
    std::string text(const wchar_t* name) const {
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        void* value = nullptr;
        UINT units = 0;
        if (!VerQueryValueW(info.data(), query.c_str(), &value, &units) || value == nullptr) return "(absent)";
        std::string out;
        for (const wchar_t* p = static_cast<const wchar_t*>(value); *p; ++p) out.push_back(static_cast<char>(*p));
        return out;
    }

    const ProjectVersion project = readProjectVersion(STYLEDTEXT_PROJECT_VERSION);
    std::vector<char> info;
};

TEST_F(VersionResourceTest, NumbersAreTheProjectVersion) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    ASSERT_NE(fixed, nullptr);
    ASSERT_GE(size, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(project.minor, project.major);  // MAKELONG(low, high)
    const DWORD low = MAKELONG(0, project.fix);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST_F(VersionResourceTest, StringsNameThisPluginAndVersion) {
    const struct {
        const wchar_t* name;
        std::string expected;
    } strings[] = {
        {L"FileVersion", project.text}, {L"ProductVersion", project.text}, {L"ProductName", "Vorn Styled Text"},
        {L"CompanyName", "Vorn Media"}, {L"InternalName", "StyledText"},   {L"OriginalFilename", STYLEDTEXT_PLUGIN},
    };
    for (const auto& s : strings) {
        EXPECT_EQ(text(s.name), s.expected) << std::string(s.name, s.name + wcslen(s.name));
    }
}

TEST_F(VersionResourceTest, StyledTextVersionAnswersTheResourceVersion) {
    fmhost::PluginDriver plugin;
    ASSERT_TRUE(plugin.load(STYLEDTEXT_PLUGIN)) << plugin.error();
    ASSERT_EQ(plugin.initialise(50), 50);
    fmhost::CallResult r = plugin.call(u"StyledTextVersion");
    plugin.shutdown();
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.error, 0);
    const std::string answer = fmhost::toUtf8(r.text);
    EXPECT_EQ(answer, "Vorn Media Styled Text " + text(L"FileVersion"));
    EXPECT_EQ(answer, "Vorn Media Styled Text " + project.text);
}

}  // namespace
