// The version is written once, as the project's version in CMakeLists.txt.
// The numbers and text the build makes from it, the resource script that
// uses them and the plug-in's StyledTextVersion must all follow it.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "host/plugin_driver.h"
#include "plugin/version.h"
#include "support/clipboard_fixture.h"
#include "support/project_version.h"

namespace {

TEST(ProjectVersionTest, ReadsMajorMinorFixIntoTheVersionText) {
    const struct {
        const char* version;
        bool valid;
        unsigned major, minor, fix;
        const char* text;
    } cases[] = {
        {"1.0.1", true, 1, 0, 1, "1.01"},    {"1.0.2", true, 1, 0, 2, "1.02"},  {"1.2.0", true, 1, 2, 0, "1.20"},
        {"10.0.0", true, 10, 0, 0, "10.00"}, {"01.0.1", true, 1, 0, 1, "1.01"}, {"1.01", false, 0, 0, 0, ""},
        {"1.1", false, 0, 0, 0, ""},         {"1.0.10", false, 0, 0, 0, ""},    {"1.10.0", false, 0, 0, 0, ""},
        {"1.0.1.0", false, 0, 0, 0, ""},     {"1..1", false, 0, 0, 0, ""},      {"", false, 0, 0, 0, ""},
        {"1.0.x", false, 0, 0, 0, ""},
    };
    for (const auto& c : cases) {
        ProjectVersion v = readProjectVersion(c.version);
        EXPECT_EQ(v.valid, c.valid) << c.version;
        if (!c.valid) continue;
        EXPECT_EQ(v.major, c.major) << c.version;
        EXPECT_EQ(v.minor, c.minor) << c.version;
        EXPECT_EQ(v.fix, c.fix) << c.version;
        EXPECT_EQ(v.text, c.text) << c.version;
    }
}

TEST(VersionHeaderTest, HoldsTheProjectVersion) {
    ProjectVersion project = readProjectVersion(STYLEDTEXT_PROJECT_VERSION);
    ASSERT_TRUE(project.valid) << STYLEDTEXT_PROJECT_VERSION;
    EXPECT_EQ(static_cast<unsigned>(STYLEDTEXT_VERSION_MAJOR), project.major);
    EXPECT_EQ(static_cast<unsigned>(STYLEDTEXT_VERSION_MINOR), project.minor);
    EXPECT_EQ(static_cast<unsigned>(STYLEDTEXT_VERSION_FIX), project.fix);
    EXPECT_EQ(std::string(STYLEDTEXT_VERSION_TEXT), project.text);
}

// Off Windows the resource is not compiled; its script must take every
// version from the generated header, which the test above ties to the project.
TEST(VersionHeaderTest, ResourceScriptTakesEveryVersionFromTheHeader) {
    std::ifstream rc(std::string(STYLEDTEXT_SOURCE_DIR) + "/plugin/StyledText.rc");
    ASSERT_TRUE(rc);
    std::stringstream all;
    all << rc.rdbuf();
    const std::string script = all.str();
    EXPECT_NE(script.find("#include \"plugin/version.h\""), std::string::npos);
    const struct {
        const char* statement;
        const char* value;
    } uses[] = {
        {"\\n(FILEVERSION) +([^\\n]*)", "STYLEDTEXT_VERSION_MAJOR,STYLEDTEXT_VERSION_MINOR,STYLEDTEXT_VERSION_FIX,0"},
        {"\\n(PRODUCTVERSION) +([^\\n]*)",
         "STYLEDTEXT_VERSION_MAJOR,STYLEDTEXT_VERSION_MINOR,STYLEDTEXT_VERSION_FIX,0"},
        {"VALUE (\"FileVersion\"), *([^\\n]*)", "STYLEDTEXT_VERSION_TEXT"},
        {"VALUE (\"ProductVersion\"), *([^\\n]*)", "STYLEDTEXT_VERSION_TEXT"},
    };
    for (const auto& use : uses) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(script, m, std::regex(use.statement))) << use.statement;
        EXPECT_EQ(m[2].str(), use.value) << m[1].str();
    }
}

class VersionFunctionTest : public ClipboardTest {};

TEST_F(VersionFunctionTest, StyledTextVersionAnswersTheProjectVersion) {
    ProjectVersion project = readProjectVersion(STYLEDTEXT_PROJECT_VERSION);
    ASSERT_TRUE(project.valid) << STYLEDTEXT_PROJECT_VERSION;
    fmhost::PluginDriver plugin;
    ASSERT_TRUE(plugin.load(STYLEDTEXT_PLUGIN)) << plugin.error();
    ASSERT_EQ(plugin.initialise(50), 50);
    fmhost::CallResult r = plugin.call(u"StyledTextVersion");
    plugin.shutdown();
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(fmhost::toUtf8(r.text), "Vorn Media Styled Text " + project.text);
}

}  // namespace
