#include "com/guid.h"

#include <gtest/gtest.h>

namespace com {
namespace {

TEST(GuidTest, ParsesBracedAndBareFormsInEitherCase) {
    const GUID expected{
        0xA0DC81A6, 0xA79E, 0x4BC8, {0x98, 0xC5, 0x7F, 0x11, 0xE8, 0x97, 0xD8, 0x5D}};
    for (const char* text :
         {"{A0DC81A6-A79E-4BC8-98C5-7F11E897D85D}", "A0DC81A6-A79E-4BC8-98C5-7F11E897D85D",
          "{a0dc81a6-a79e-4bc8-98c5-7f11e897d85d}"}) {
        SCOPED_TRACE(text);
        const auto g = GUID::Parse(text);
        ASSERT_TRUE(g.has_value());
        EXPECT_EQ(*g, expected);
        EXPECT_EQ(g->ToString(), "{A0DC81A6-A79E-4BC8-98C5-7F11E897D85D}");
    }
}

TEST(GuidTest, RejectsMalformedText) {
    for (const char* text :
         {"", "{}", "{A0DC81A6-A79E-4BC8-98C5-7F11E897D85D",
          "A0DC81A6-A79E-4BC8-98C5-7F11E897D85D}", "(A0DC81A6-A79E-4BC8-98C5-7F11E897D85D)",
          "{A0DC81A6A79E-4BC8-98C5-7F11E897D85D0}", "{A0DC81A6-A79E-4BC8-98C5-7F11E897D85G}",
          "{A0DC81A6-A79E-4BC8-98C5-7F11E897D85}", "{A0DC81A6-A79E-4BC8-98C5-7F11E897D85DD}",
          "{+0DC81A6-A79E-4BC8-98C5-7F11E897D85D}", "{ 0DC81A6-A79E-4BC8-98C5-7F11E897D85D}"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(GUID::Parse(text).has_value());
    }
}

TEST(GuidTest, PrintsWellKnownIdentifiers) {
    EXPECT_EQ(IID_IUnknown.ToString(), "{00000000-0000-0000-C000-000000000046}");
    EXPECT_EQ(IID_IDispatch.ToString(), "{00020400-0000-0000-C000-000000000046}");
    EXPECT_EQ(IID_IProvideClassInfo.ToString(), "{B196B283-BAB4-101A-B69C-00AA00341D07}");
    EXPECT_EQ(GUID_NULL.ToString(), "{00000000-0000-0000-0000-000000000000}");
}

}  // namespace
}  // namespace com
