#include <gtest/gtest.h>

#include "app/convert_options.h"

namespace {

ConvertOptions Parse(std::vector<std::string> args) {
  auto result = ParseConvertOptions(args);
  if (auto* error = std::get_if<std::string>(&result)) ADD_FAILURE() << *error;
  return std::get<ConvertOptions>(result);
}

std::string Error(std::vector<std::string> args) {
  auto result = ParseConvertOptions(args);
  if (auto* error = std::get_if<std::string>(&result)) return *error;
  return "";
}

TEST(ConvertOptions, ReadsEveryOptionAndThePositionalPaths) {
  const auto o = Parse({"--format", "0", "in put.mp4", "--video-compressor", "mpeg-4",
                        "--audio-compressor", "none", "--video-bitrate", "500",
                        "--audio-bitrate", "64000", "--size", "640x480", "--yes", "out.avi"});
  EXPECT_EQ(o.source, "in put.mp4");
  EXPECT_EQ(o.output, "out.avi");
  EXPECT_EQ(o.format, 0);
  EXPECT_EQ(o.videoCompressor, "mpeg-4");
  EXPECT_EQ(o.audioCompressor, "none");
  EXPECT_EQ(o.videoBitrateKbps, 500);
  EXPECT_EQ(o.audioBitrate, 64000);
  EXPECT_EQ(o.width, 640);
  EXPECT_EQ(o.height, 480);
  EXPECT_TRUE(o.replaceExisting);
  EXPECT_FALSE(Parse({"a.mp4"}).output.has_value());
  EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(ConvertOptions, SaysWhatIsWrong) {
  EXPECT_EQ(Error({}), "no SOURCE given");
  EXPECT_EQ(Error({"a", "b", "c"}), "too many arguments: c");
  EXPECT_EQ(Error({"--format"}), "--format needs a value");
  EXPECT_NE(Error({"--format", "wmv", "a"}).find("whole number"), std::string::npos);
  EXPECT_NE(Error({"--size", "640", "a"}).find("WIDTHxHEIGHT"), std::string::npos);
  EXPECT_NE(Error({"--size", "0x10", "a"}).find("WIDTHxHEIGHT"), std::string::npos);
  EXPECT_EQ(Error({"--frobnicate", "a"}), "unknown option --frobnicate");
  EXPECT_NE(Error({"--video-bitrate", "-5", "a"}).find("above 0"), std::string::npos);
}

TEST(ConvertOptions, CompressorSelectorsResolveAgainstTheCatalogue) {
  const std::vector<std::string> names = {"libav MPEG-4 part 2 encoder", "x264 H.264 Encoder",
                                          "libav Windows Media Video 8 encoder"};
  EXPECT_EQ(ResolveCompressorSelector("none", names), -1);
  EXPECT_EQ(ResolveCompressorSelector("NONE", names), -1);
  EXPECT_EQ(ResolveCompressorSelector("2", names), 2);
  EXPECT_EQ(ResolveCompressorSelector("3", names), std::nullopt);
  EXPECT_EQ(ResolveCompressorSelector("-1", names), std::nullopt);
  EXPECT_EQ(ResolveCompressorSelector("h.264", names), 1);
  EXPECT_EQ(ResolveCompressorSelector("ENCODER", names), 0) << "the first match wins";
  EXPECT_EQ(ResolveCompressorSelector("vp9", names), std::nullopt);
}

}  // namespace
