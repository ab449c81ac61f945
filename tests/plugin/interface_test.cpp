// The entry point and lifecycle messages, driven through the call record as
// the host does: once against the loaded module, once linked in for fault
// injection into the host library.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "host/plugin_driver.h"
#include "plugin/functions.h"
#include "plugin/interface.h"
#include "plugin/resources.h"
#include "plugin/version.h"
#include "support/clipboard_fixture.h"

namespace {

class PluginModuleTest : public ClipboardTest {
  protected:
    void SetUp() override {
        ClipboardTest::SetUp();
        ASSERT_TRUE(plugin.load(STYLEDTEXT_PLUGIN)) << plugin.error();
    }
    fmhost::PluginDriver plugin;
};

TEST_F(PluginModuleTest, InitialiseAcceptsVersions50To255Only) {
    struct Case {
        fmx::int16 version;
        fmx::ptrtype answer;
        int registered;
    };
    const Case cases[] = {{49, -1, 0}, {50, 50, 2}, {51, 50, 2}, {255, 50, 2}, {256, -1, 0},
                          {-1, -1, 0}, {-32768, -1, 0}, {0, -1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(plugin.initialise(c.version), c.answer) << "version " << c.version;
        EXPECT_EQ(FMHost_FunctionCount(), c.registered) << "version " << c.version;
        plugin.shutdown();
        EXPECT_EQ(FMHost_FunctionCount(), 0);
    }
}

TEST_F(PluginModuleTest, RegistersExactlyTheTwoFunctions) {
    ASSERT_EQ(plugin.initialise(50), 50);
    ASSERT_EQ(FMHost_FunctionCount(), 2);
    const struct {
        fmx::int16 id;
        const char16_t* name;
    } expected[] = {{0, u"StyledTextVersion"}, {2, u"StyledClipboard"}};
    for (int i = 0; i < 2; ++i) {
        FMHost_FunctionInfo info;
        ASSERT_TRUE(FMHost_FunctionAt(i, &info));
        EXPECT_STREQ(info.pluginId, "Styl");
        EXPECT_EQ(info.functionId, expected[i].id);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(info.name)), expected[i].name);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(info.prototype)), expected[i].name);
        EXPECT_EQ(info.minArgs, 0);
        EXPECT_EQ(info.maxArgs, 0);
        EXPECT_EQ(info.flags, 0xFF01u);
    }
    plugin.shutdown();
    EXPECT_EQ(FMHost_FunctionCount(), 0);
}

TEST_F(PluginModuleTest, GetStringCutsToTheCapacity) {
    const struct {
        fmx::uint8 id;
        fmx::int32 capacity;
        const char16_t* text;
    } cases[] = {
        {131, 12, u"Styl1nnYnnn"},
        {131, 5, u"Styl"},
        {131, 1, u""},
        {1, 100, u"Styl1nnYnnn"},
        {128, 100, u"Vorn Styled Text"},
        {129, 200,
         u"This plug-in modifies styled text so it can be copied and pasted between Filemaker and other "
         u"applications."},
        {102, 100, u"StyledTextVersion"},
        {104, 100, u"StyledClipboard"},
        {200, 100, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plugin.getString(c.id, c.capacity), c.text) << int(c.id) << " / " << c.capacity;
}

TEST_F(PluginModuleTest, GetStringWithoutRoomWritesNothing) {
    for (fmx::int32 capacity : {0, -1, -100}) {
        fmx::uint16 buffer[4] = {0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF};
        EXPECT_EQ(plugin.send(kFMXT_GetString, reinterpret_cast<fmx::ptrtype>(buffer), 0, 131, 0, capacity),
                  reinterpret_cast<fmx::ptrtype>(buffer));
        for (fmx::uint16 unit : buffer) EXPECT_EQ(unit, 0xBEEF) << "capacity " << capacity;
    }
    // No buffer at all.
    EXPECT_EQ(plugin.send(kFMXT_GetString, 0, 0, 131, 0, 12), 0);
}

TEST_F(PluginModuleTest, IdleAndUnknownMessagesLeaveResultAlone) {
    for (fmx::uint8 level = 0; level <= 5; ++level) EXPECT_EQ(plugin.send(kFMXT_Idle, 777, 0, level), 777);
    for (fmx::uint8 which : {2, 3, 5, 6, 8, 9, 200, 255}) EXPECT_EQ(plugin.send(which, 777, 50), 777);
    EXPECT_EQ(FMHost_FunctionCount(), 0);
}

TEST_F(PluginModuleTest, StyledTextVersionAnswersTheVersionText) {
    ASSERT_EQ(plugin.initialise(50), 50);
    fmhost::CallResult r = plugin.call(u"StyledTextVersion");
    plugin.shutdown();
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(fmhost::toUtf8(r.text), std::string("Vorn Media Styled Text ") + STYLEDTEXT_VERSION_TEXT);
}

// The compiled-in string table and the Windows resource script must agree.
TEST(StringTableTest, MatchesTheResourceScript) {
    std::ifstream rc(std::string(STYLEDTEXT_SOURCE_DIR) + "/plugin/StyledText.rc");
    ASSERT_TRUE(rc);
    std::stringstream all;
    all << rc.rdbuf();
    const std::string script = all.str();
    const struct {
        const char* symbol;
        unsigned id;
    } ids[] = {{"IDS_OPTIONS", IDS_OPTIONS},
               {"IDS_FUNCTION_VERSION", IDS_FUNCTION_VERSION},
               {"IDS_FUNCTION_CLIPBOARD", IDS_FUNCTION_CLIPBOARD},
               {"IDS_PLUGIN_NAME", IDS_PLUGIN_NAME},
               {"IDS_PLUGIN_DESCRIPTION", IDS_PLUGIN_DESCRIPTION}};
    for (const auto& entry : ids) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(script, m, std::regex(std::string("\\n\\s*") + entry.symbol + " \"([^\"]*)\"")))
            << entry.symbol;
        const std::string text = m[1];
        fmx::uint16 buffer[300];
        FMX_ExternCallStruct record{};
        record.instanceID = 1;
        gFMX_ExternCallPtr = &record;
        Do_GetString(entry.id, 0, 300, buffer);
        std::string loaded;
        for (const fmx::uint16* p = buffer; *p; ++p) loaded.push_back(static_cast<char>(*p));
        EXPECT_EQ(loaded, text) << entry.symbol;
    }
}

// Every FM_ call of initialise, shut-down and the version function made to
// fail in turn, with either failure code: the host always gets its answer,
// a failed initialise leaves nothing registered, and no host object leaks.
class HostFailureTest : public ClipboardTest {
  protected:
    static fmx::ptrtype send(fmx::uint8 which, fmx::int16 version = 50) {
        FMX_ExternCallStruct record{};
        record.whichCall = which;
        record.extnVersion = version;
        record.instanceID = 1;
        FMExternCallProc(&record);
        return record.result;
    }
    static long callsOf(void (*action)()) {
        FMHost_FailCall(0, 0);
        action();
        return FMHost_CallCount();
    }
};

TEST_F(HostFailureTest, FailedInitialiseAnswersMinusOneAndRegistersNothing) {
    const long calls = callsOf([] { send(kFMXT_Init); });
    send(kFMXT_Shutdown);
    ASSERT_GT(calls, 5);
    for (fmx::int32 code : {fmx::_fmxcpt::kBadAlloc, fmx::_fmxcpt::kUnknown}) {
        for (long k = 1; k <= calls; ++k) {
            const long before = FMHost_LiveObjects();
            FMHost_FailCall(k, code);
            const fmx::ptrtype answer = send(kFMXT_Init);
            FMHost_FailCall(0, 0);
            if (answer == 50) {
                EXPECT_EQ(FMHost_FunctionCount(), 2) << "k=" << k;
            } else {
                EXPECT_EQ(answer, -1) << "k=" << k;
                EXPECT_EQ(FMHost_FunctionCount(), 0) << "k=" << k;
            }
            EXPECT_EQ(FMHost_LiveObjects(), before) << "k=" << k << " code=" << code;
            send(kFMXT_Shutdown);
            EXPECT_EQ(FMHost_FunctionCount(), 0);
        }
    }
}

TEST_F(HostFailureTest, FailedShutdownAndVersionCallStillAnswer) {
    send(kFMXT_Init);
    const long shutdownCalls = callsOf([] { send(kFMXT_Shutdown); });
    for (long k = 1; k <= shutdownCalls; ++k) {
        FMHost_Reset();
        send(kFMXT_Init);
        FMHost_FailCall(k, fmx::_fmxcpt::kUnknown);
        EXPECT_NO_THROW(send(kFMXT_Shutdown));
    }
    FMHost_Reset();

    fmx::Data* result = FMHost_NewData();
    const long versionCalls = callsOf([] {
        fmx::Data* r = FMHost_NewData();
        Do_StyledTextVersion(0, nullptr, nullptr, r);
        FMHost_DeleteData(r);
    });
    for (long k = 1; k <= versionCalls; ++k) {
        const long before = FMHost_LiveObjects();
        FMHost_FailCall(k, fmx::_fmxcpt::kBadAlloc);
        EXPECT_EQ(Do_StyledTextVersion(0, nullptr, nullptr, result), 0) << "k=" << k;
        EXPECT_EQ(FMHost_LiveObjects(), before) << "k=" << k;
    }
    FMHost_DeleteData(result);
    FMHost_Reset();
}

}  // namespace
