// Identifiers read from stored text: every malformed shape is refused
// without throwing, and what is read writes back the same.

#include "platform/com/guid.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Guid, TryParseReadsTheRegistryFormAndRefusesEveryOtherShape) {
  const std::string text = "{B196B28B-BAB4-101A-B69C-00AA00341D07}";
  const auto parsed = GUID::TryParse(text);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->Data1, 0xB196B28Bu);
  EXPECT_EQ(parsed->Data4[7], 0x07);
  EXPECT_EQ(parsed->ToString(), text);
  EXPECT_EQ(GUID::TryParse("{b196b28b-bab4-101a-b69c-00aa00341d07}"), parsed);

  for (const char* malformed :
       {"", "{}", "B196B28B-BAB4-101A-B69C-00AA00341D07", "{B196B28B-BAB4-101A-B69C-00AA00341D07",
        "{B196B28B-BAB4-101A-B69C-00AA00341D07}}", "(B196B28B-BAB4-101A-B69C-00AA00341D07)",
        "{B196B28B BAB4-101A-B69C-00AA00341D07}", "{B196B28B-BAB4-101A-B69C_00AA00341D07}",
        "{G196B28B-BAB4-101A-B69C-00AA00341D07}", "{B196B28B-BAB4-101A-B69C-00AA00341D0 }",
        "{B196B28B-BAB4-101A-B69C-00AA00341D0\xC3}"})
    EXPECT_FALSE(GUID::TryParse(malformed).has_value()) << malformed;
}

}  // namespace
