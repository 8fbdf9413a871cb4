#include "app/command_line/convert_options.h"

#include <gtest/gtest.h>

namespace {

ConvertCommand Parse(const std::vector<std::string>& args) {
  auto result = ParseConvertCommandLine(args);
  if (auto* error = std::get_if<UsageError>(&result)) ADD_FAILURE() << error->message;
  return std::get<ConvertCommand>(result);
}

std::string Error(const std::vector<std::string>& args) {
  auto result = ParseConvertCommandLine(args);
  if (auto* error = std::get_if<UsageError>(&result)) return error->message;
  return "";
}

TEST(ConvertOptions, ReadsEveryOptionAndThePositionalPaths) {
  const auto c = Parse({"--format", "0", "in put.mp4", "--video-compressor", "mpeg-4",
                        "--audio-compressor=none", "--video-bitrate", "500",
                        "--audio-bitrate=64000", "--size", "640x480", "--yes", "out.avi"});
  EXPECT_EQ(c.action, ConvertAction::Convert);
  const ConvertOptions& o = c.options;
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
  EXPECT_FALSE(Parse({"a.mp4"}).options.output.has_value());
  EXPECT_TRUE(Parse({"-y", "a.mp4"}).options.replaceExisting);
  EXPECT_EQ(Parse({"--format", "1", "--format=3", "a.mp4"}).options.format, 3) << "the last wins";
}

TEST(ConvertOptions, DoubleDashEndsTheOptionsSoNamesMayStartWithADash) {
  const auto o = Parse({"--format=1", "--", "-odd.mp4", "--yes"}).options;
  EXPECT_EQ(o.source, "-odd.mp4");
  EXPECT_EQ(o.output, "--yes");
  EXPECT_FALSE(o.replaceExisting);
  EXPECT_EQ(Parse({"-"}).options.source, "-");
  // Without "--" such a name is read as options, and refused with a hint.
  EXPECT_NE(Error({"-odd.mp4"}).find("goes after --, as in: -- -odd.mp4"), std::string::npos);
}

TEST(ConvertOptions, HelpVersionAndTheCatalogueAreActions) {
  EXPECT_EQ(Parse({"--help"}).action, ConvertAction::ShowHelp);
  EXPECT_EQ(Parse({"-h", "no-such-file"}).action, ConvertAction::ShowHelp);
  EXPECT_EQ(Parse({"--version"}).action, ConvertAction::ShowVersion);
  EXPECT_EQ(Parse({"--list-compressors"}).action, ConvertAction::ListCompressors);
  EXPECT_EQ(Error({"--list-compressors", "a.mp4"}), "--list-compressors takes no file names");
}

TEST(ConvertOptions, NumbersOutsideTheirRangeAreUsageErrors) {
  // KBPS times 1024 must fit the stored 32-bit bits per second.
  EXPECT_EQ(Parse({"--video-bitrate", "2097151", "a"}).options.videoBitrateKbps, 2097151);
  EXPECT_EQ(Error({"--video-bitrate", "2097152", "a"}),
            "--video-bitrate needs a whole number from 1 to 2097151, not \"2097152\"");
  EXPECT_NE(Error({"--video-bitrate", "99999999999999999999", "a"}), "");
  EXPECT_NE(Error({"--video-bitrate", "0", "a"}), "");
  EXPECT_NE(Error({"--video-bitrate", "-5", "a"}), "");
  EXPECT_NE(Error({"--video-bitrate", "12k", "a"}), "");
  EXPECT_NE(Error({"--audio-bitrate", "2147483648", "a"}), "");
  EXPECT_EQ(Error({"--format", "7", "a"}), "--format needs a whole number from 0 to 6, not \"7\"");
  EXPECT_NE(Error({"--format", "wmv", "a"}), "");
  EXPECT_NE(Error({"--size", "640", "a"}).find("WIDTHxHEIGHT"), std::string::npos);
  EXPECT_NE(Error({"--size", "0x10", "a"}), "");
  EXPECT_NE(Error({"--size", "8200x10", "a"}), "");
  EXPECT_NE(Error({"--size", "640x4294967312", "a"}), "");
  EXPECT_EQ(Parse({"--size", "8192X16", "a"}).options.width, 8192);
}

TEST(ConvertOptions, SaysWhatIsWrong) {
  EXPECT_EQ(Error({}), "no SOURCE given");
  EXPECT_EQ(Error({"a", "b", "c"}), "too many file names: c");
  EXPECT_EQ(Error({""}), "a file name cannot be empty");
  EXPECT_EQ(Error({"a.mp4", ""}), "a file name cannot be empty");
  EXPECT_NE(Error({"--format"}).find("--format"), std::string::npos);
  EXPECT_NE(Error({"--frobnicate", "a"}).find("frobnicate"), std::string::npos);
  EXPECT_NE(Error({"--yes=no", "a"}).find("yes"), std::string::npos);
  EXPECT_NE(Error({"--video-compressor=", "a"}), "");
}

TEST(ConvertOptions, AnOutputFolderMakesEveryNameASourceAndJobsAreRangeChecked) {
  const auto c = Parse({"--output-dir", "out", "a.mp4", "--jobs=2", "b.avi", "c d.mkv"});
  EXPECT_EQ(c.action, ConvertAction::ConvertMany);
  EXPECT_EQ(c.outputFolder, "out");
  EXPECT_EQ(c.sources, (std::vector<std::string>{"a.mp4", "b.avi", "c d.mkv"}));
  EXPECT_EQ(c.jobs, 2);
  EXPECT_EQ(Parse({"--output-dir=out", "a.mp4"}).jobs, 1) << "one at a time by default";
  EXPECT_EQ(Parse({"--output-dir=out", "--jobs", "64", "a"}).jobs, 64);
  EXPECT_EQ(Error({"--output-dir=out", "--jobs", "0", "a"}),
            "--jobs needs a whole number from 1 to 64, not \"0\"");
  EXPECT_NE(Error({"--output-dir=out", "--jobs", "65", "a"}), "");
  EXPECT_NE(Error({"--output-dir=out", "--jobs", "two", "a"}), "");
  EXPECT_EQ(Error({"--output-dir=out"}), "no SOURCE given");
  EXPECT_EQ(Error({"--output-dir=", "a"}), "--output-dir needs a folder");
  EXPECT_EQ(Error({"--output-dir=out", "a", ""}), "a file name cannot be empty");
  EXPECT_EQ(Error({"--threads=0", "a"}), "--threads needs a whole number from 1 to 256, not \"0\"");
}

TEST(ConvertOptions, AOneFileCommandLineReadsBackAsTheSameOptions) {
  ConvertOptions o;
  o.source = "-odd name.mp4";
  o.output = "/out/x.wmv";
  o.format = 1;
  o.videoCompressor = "-weird";
  o.audioCompressor = "none";
  o.videoBitrateKbps = 300;
  o.audioBitrate = 64000;
  o.width = 640;
  o.height = 480;
  o.threads = 3;
  o.replaceExisting = true;
  const auto c = Parse(OneFileCommandLine(o, true));
  EXPECT_EQ(c.action, ConvertAction::Convert);
  EXPECT_TRUE(c.reportProgress);
  EXPECT_EQ(c.options.source, o.source);
  EXPECT_EQ(c.options.output, o.output);
  EXPECT_EQ(c.options.format, o.format);
  EXPECT_EQ(c.options.videoCompressor, o.videoCompressor);
  EXPECT_EQ(c.options.audioCompressor, o.audioCompressor);
  EXPECT_EQ(c.options.videoBitrateKbps, o.videoBitrateKbps);
  EXPECT_EQ(c.options.audioBitrate, o.audioBitrate);
  EXPECT_EQ(c.options.width, o.width);
  EXPECT_EQ(c.options.height, o.height);
  EXPECT_EQ(c.options.threads, o.threads);
  EXPECT_TRUE(c.options.replaceExisting);
  // Only what was chosen is passed on; the rest comes from the settings.
  ConvertOptions plain;
  plain.source = "a.mp4";
  EXPECT_EQ(OneFileCommandLine(plain, false), (std::vector<std::string>{"--", "a.mp4"}));
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
