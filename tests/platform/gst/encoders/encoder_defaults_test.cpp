#include "platform/gst/encoders/encoder_defaults.h"

#include <gtest/gtest.h>

#include "tests/platform/gst/conversion_test_support.h"

namespace {

int IntegerOf(GstElement* element, const char* name) {
  int value = -1;
  g_object_get(element, name, &value, nullptr);
  return value;
}

TEST(EncoderDefaults, X264LooksAheadLessThanItsDefaultAndLibavEncodersOpenAsFfmpegDoes) {
  gst_test::InitGst();
  EXPECT_FALSE(gst::MakeEncoder("no-such-encoder"));

  const gst::ElementPtr x264 = gst::MakeEncoder("x264enc");
  if (!x264) GTEST_SKIP() << "x264enc is not installed";
  const GParamSpec* lookAhead =
      g_object_class_find_property(G_OBJECT_GET_CLASS(x264.get()), "rc-lookahead");
  ASSERT_NE(lookAhead, nullptr);
  EXPECT_LT(IntegerOf(x264.get(), "rc-lookahead"), G_PARAM_SPEC_INT(lookAhead)->default_value);
  EXPECT_GT(IntegerOf(x264.get(), "rc-lookahead"), 0) << "no look-ahead would turn off x264's "
                                                         "macroblock tree and cost picture";

  const gst::ElementPtr mpeg4 = gst::MakeEncoder("avenc_mpeg4");
  ASSERT_TRUE(mpeg4);
  EXPECT_EQ(IntegerOf(mpeg4.get(), "threads"), 0) << "automatic";

  // Otherwise libav will not open it: the run failed.
  const gst::ElementPtr dts = gst::MakeEncoder("avenc_dca");
  ASSERT_TRUE(dts);
  EXPECT_EQ(IntegerOf(dts.get(), "strict"), -2) << "experimental";
}

}  // namespace
