// The Windows Media header says when the file was made, by which program,
// and a maximum bitrate that covers its streams; damaged headers are left
// alone.

#include "platform/gst/formats/asf_header.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gst/encoders/asf_writer_plan.h"
#include "platform/gst/gst_handle.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A header as libav's ASF writer writes it, untouched.
std::vector<std::uint8_t> LibavHeader() {
  const std::string path = gst_test::OutputPath("libav.asf");
  GError* error = nullptr;
  gst::ElementPtr pipeline(gst_parse_launch(
      ("audiotestsrc num-buffers=20 ! avenc_wmav2 ! avmux_asf ! filesink location=\"" + path + "\"")
          .c_str(),
      &error));
  EXPECT_EQ(error, nullptr);
  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  gst::BusPtr bus(gst_element_get_bus(pipeline.get()));
  gst::MessagePtr end(
      gst_bus_timed_pop_filtered(bus.get(), 60 * GST_SECOND,
                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  std::vector<std::uint8_t> bytes = Bytes(path);
  bytes.resize(gst::AsfHeaderSize(bytes));
  return bytes;
}

std::string MediaInfo(const std::string& path, const std::string& field) {
  const auto output =
      test_support::RunTool("mediainfo", {"--Inform=General;%" + field + "%", path});
  std::string text = output.out;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

TEST(AsfHeader, DamagedHeadersAreRefusedAndAWholeOneIsStable) {
  gst_test::InitGst();
  const std::vector<std::uint8_t> header = LibavHeader();
  ASSERT_GT(header.size(), 30u);
  gst::AsfHeaderFacts facts{gst::FileTimeOf(1700000000), "Tool", "9.9", 123456, {{1, {7, 8, 9}}}};
  const auto mended = gst::RewriteAsfHeader(header, facts);
  ASSERT_TRUE(mended);
  EXPECT_EQ(gst::AsfHeaderSize(*mended), mended->size());
  EXPECT_EQ(gst::RewriteAsfHeader(*mended, facts), mended) << "mending twice changes nothing";
  // The writer's own codec data stays; where it left none, the given goes in.
  const std::vector<std::uint8_t> own = gst::AsfCodecData(header, 1);
  EXPECT_EQ(gst::AsfCodecData(*mended, 1), own.empty() ? facts.codecData[1] : own);

  for (std::size_t size = 0; size < header.size(); ++size) {
    const std::vector<std::uint8_t> cut(header.begin(), header.begin() + size);
    EXPECT_FALSE(gst::RewriteAsfHeader(cut, facts)) << "cut to " << size << " bytes";
  }
  // Any size field made huge or tiny points outside the header.
  for (std::size_t at = 16; at + 8 <= header.size(); ++at) {
    for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
      std::vector<std::uint8_t> damaged = header;
      damaged[at] = value;
      damaged[at + 7] = value;
      (void)gst::RewriteAsfHeader(damaged, facts);  // must neither crash nor read past the end
    }
  }
}

TEST(AsfHeader, AWindowsMediaFileSaysWhenAndByWhatItWasMade) {
  gst_test::InitGst();
  const std::string output = gst_test::OutputPath("stated.wmv");
  const auto outcome = gst_test::Convert(gst_test::WindowsMediaConversion(
      gst_test::BusyClip(), output, {64000, 44100, 2}, {320, 240, 25, 1, 1000000, 8}));
  ASSERT_TRUE(outcome.Completed()) << outcome.Describe();
  EXPECT_EQ(test_support::DecodeErrors(output), "");

  const std::string year = MediaInfo(output, "Encoded_Date").substr(0, 4);
  const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm today{};
  gmtime_r(&now, &today);
  EXPECT_EQ(year, std::to_string(1900 + today.tm_year)) << MediaInfo(output, "Encoded_Date");
  EXPECT_EQ(MediaInfo(output, "Encoded_Application"),
            std::string(REELCAST_PRODUCT_NAME) + " " + REELCAST_PRODUCT_VERSION);
  EXPECT_EQ(test_support::RunTool("mediainfo", {output}).out.find("Lavf"), std::string::npos)
      << "libav's writer no longer names itself";
  const double overall = std::stod(MediaInfo(output, "OverallBitRate"));
  const double maximum = std::stod(MediaInfo(output, "OverallBitRate_Maximum"));
  EXPECT_GE(maximum, overall) << "the maximum covers the streams";
  EXPECT_LT(maximum, 4 * overall) << "and is not made up";
}

}  // namespace
