#include "platform/gst/workarounds/input/avi_times.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/gst/gst_handle.h"
#include "tests/platform/gst/conversion_test_support.h"

namespace {

using gst::AdpcmBlockTimes;
using gst::CapsPtr;

CapsPtr Caps(const std::string& text) { return CapsPtr(gst_caps_from_string(text.c_str())); }

std::string Adpcm(const char* layout, int rate, int channels, int blockAlign) {
  return std::string("audio/x-adpcm, layout=") + layout + ", rate=" + std::to_string(rate) +
         ", channels=" + std::to_string(channels) + ", block_align=" + std::to_string(blockAlign);
}

class AviTimes : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }
};

TEST_F(AviTimes, BlocksHoldTheSamplesTheirFormatPacks) {
  struct Case {
    const char* layout;
    int channels;
    int blockAlign;
    int samples;
  };
  for (const Case& c :
       {Case{"dvi", 1, 1024, 2041}, Case{"dvi", 2, 1024, 1017}, Case{"dvi", 1, 256, 505},
        Case{"microsoft", 1, 1024, 2036}, Case{"microsoft", 2, 2048, 2036}}) {
    SCOPED_TRACE(std::string(c.layout) + " " + std::to_string(c.channels));
    const auto blocks =
        AdpcmBlockTimes::For(Caps(Adpcm(c.layout, 22050, c.channels, c.blockAlign)).get());
    ASSERT_TRUE(blocks);
    EXPECT_EQ(blocks->SamplesPerBlock(), c.samples);
  }
}

// As measured: the reader stamps the second mono IMA block of 1024 bytes at
// 22.05 kHz at 46.259486 ms; it starts 2041 samples in.
TEST_F(AviTimes, AReaderStampBecomesTheTimeOfTheSamplesBefore) {
  const auto blocks = AdpcmBlockTimes::For(Caps(Adpcm("dvi", 22050, 1, 1024)).get());
  ASSERT_TRUE(blocks);
  EXPECT_NEAR(double(blocks->TimeOf(46259486)), 2041.0 / 22050 * GST_SECOND, 1000);
  EXPECT_NEAR(double(blocks->TimeOf(100 * GstClockTime(46259486))),
              100 * 2041.0 / 22050 * GST_SECOND, 50000);
  EXPECT_EQ(blocks->LengthOf(3 * 1024), gst_util_uint64_scale(3 * 2041, GST_SECOND, 22050));
  EXPECT_TRUE(blocks->TimedByBytes(1024, 46259487));
  EXPECT_FALSE(blocks->TimedByBytes(1024, 92562358)) << "a header that has blocks counted";
  EXPECT_FALSE(blocks->TimedByBytes(1024, GST_CLOCK_TIME_NONE));
}

TEST_F(AviTimes, OtherStreamsAndDamagedHeadersAreLeftAlone) {
  for (const std::string& caps :
       {std::string("audio/mpeg, mpegversion=1, layer=3"), Adpcm("g726", 8000, 1, 256),
        Adpcm("dvi", 22050, 1, 4), Adpcm("microsoft", 22050, 2, 14), Adpcm("dvi", 0, 1, 1024),
        Adpcm("dvi", 22050, 0, 1024), std::string("audio/x-adpcm, layout=dvi, rate=22050")}) {
    SCOPED_TRACE(caps);
    EXPECT_FALSE(AdpcmBlockTimes::For(Caps(caps).get()));
  }
  EXPECT_FALSE(AdpcmBlockTimes::For(nullptr));
}

}  // namespace
