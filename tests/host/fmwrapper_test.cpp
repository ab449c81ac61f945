// The stand-in host library: what the plug-in's shell relies on.
#include <gtest/gtest.h>

#include "host/host_control.h"

namespace {

fmx::errcode noop(fmx::int16, const fmx::ExprEnv*, const fmx::DataVect*, fmx::Data*) { return 0; }

class FMWrapperTest : public ::testing::Test {
  protected:
    void SetUp() override { FMHost_Reset(); }
    fmx::_fmxcpt x;
};

std::u16string textOf(fmx::Text* t) {
    fmx::Data* d = FMHost_NewData();
    fmx::Locale* l = FM_Locale_Constructor1(fmx::kType_System, nullptr);
    FM_Data_SetAsText(d, t, l, fmx::kDTText, nullptr);
    fmx::unichar16 buffer[64];
    FMHost_DataText(d, buffer, 64);
    FM_Locale_Delete(l, nullptr);
    FMHost_DeleteData(d);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer));
}

TEST_F(FMWrapperTest, FailedFindAnswersAPositionFromWhichDeletingRemovesNothing) {
    fmx::Text* text = FM_Text_Constructor1(&x);
    fmx::Text* paren = FM_Text_Constructor1(&x);
    FM_Text_Assign(text, "StyledClipboard", fmx::kEncoding_Native, &x);
    FM_Text_Assign(paren, "(", fmx::kEncoding_Native, &x);
    fmx::uint32 size = FM_Text_GetSize(text, &x);
    fmx::uint32 at = FM_Text_Find(text, paren, 0, &x);
    FM_Text_DeleteText(text, at, size - at, &x);
    EXPECT_EQ(textOf(text), u"StyledClipboard");

    FM_Text_Assign(text, "Name(a; b)", fmx::kEncoding_Native, &x);
    size = FM_Text_GetSize(text, &x);
    at = FM_Text_Find(text, paren, 0, &x);
    EXPECT_EQ(at, 4u);
    FM_Text_DeleteText(text, at, size - at, &x);
    EXPECT_EQ(textOf(text), u"Name");
    FM_Text_Delete(text, &x);
    FM_Text_Delete(paren, &x);
    EXPECT_EQ(FMHost_LiveObjects(), 0);
}

TEST_F(FMWrapperTest, RegistryKeepsOrderAndRemovesById) {
    fmx::QuadChar* id = FM_QuadChar_Constructor2('S', 't', 'y', 'l', &x);
    fmx::Text* name = FM_Text_Constructor1(&x);
    FM_Text_Assign(name, "F", fmx::kEncoding_Native, &x);
    EXPECT_EQ(FM_ExprEnv_RegisterExternalFunction(id, 0, name, name, 0, 0, 0xFF01, noop, &x), 0);
    EXPECT_EQ(FM_ExprEnv_RegisterExternalFunction(id, 2, name, name, 1, 3, 0xFF01, noop, &x), 0);
    EXPECT_NE(FM_ExprEnv_RegisterExternalFunction(id, 2, name, name, 1, 3, 0xFF01, noop, &x), 0);
    ASSERT_EQ(FMHost_FunctionCount(), 2);
    FMHost_FunctionInfo info;
    ASSERT_TRUE(FMHost_FunctionAt(1, &info));
    EXPECT_STREQ(info.pluginId, "Styl");
    EXPECT_EQ(info.functionId, 2);
    EXPECT_EQ(info.maxArgs, 3);
    EXPECT_EQ(FM_ExprEnv_UnRegisterExternalFunction(id, 0, &x), 0);
    EXPECT_NE(FM_ExprEnv_UnRegisterExternalFunction(id, 0, &x), 0);
    EXPECT_EQ(FMHost_FunctionCount(), 1);
    FM_Text_Delete(name, &x);
    FM_QuadChar_Delete(id, &x);
}

TEST_F(FMWrapperTest, InjectedFailureReportsItsCodeOnTheKthCallOnly) {
    FMHost_FailCall(2, fmx::_fmxcpt::kBadAlloc);
    fmx::Text* a = FM_Text_Constructor1(&x);
    EXPECT_EQ(x.m_code, 0);
    fmx::Text* b = FM_Text_Constructor1(&x);
    EXPECT_EQ(x.m_code, fmx::_fmxcpt::kBadAlloc);
    EXPECT_NE(b, nullptr) << "a failing constructor still hands over its object";
    FM_Text_Delete(a, &x);
    EXPECT_EQ(x.m_code, 0);
    FM_Text_Delete(b, &x);
    EXPECT_EQ(FMHost_CallCount(), 4);
}

TEST(FmxcptTest, CheckRaisesTheMatchingException) {
    fmx::_fmxcpt x;
    EXPECT_NO_THROW(x.Check());
    x.m_code = fmx::_fmxcpt::kBadAlloc;
    EXPECT_THROW(x.Check(), std::bad_alloc);
    x.m_code = fmx::_fmxcpt::kUnknown;
    EXPECT_THROW(x.Check(), std::exception);
    x.m_code = 3;
    EXPECT_NO_THROW(x.Check());
}

}  // namespace
