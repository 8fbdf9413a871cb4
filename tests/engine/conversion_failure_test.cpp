// Runs that fail while they run end with EC_ERRORABORT and a code whose text
// says what happened, never with a hang; and a run that cannot start says
// why at once.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "platform/dshow/error_text.h"
#include "platform/dshow/errors.h"
#include "tests/engine/conversion_rig.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"

namespace {

using engine_test::ConversionRig;
using engine_test::RunEnd;

constexpr int kAvi = 0, kWmv = 1, kMkv = 2;

void ExpectAborted(const RunEnd& end, HRESULT code) {
  EXPECT_EQ(end.event, EC_ERRORABORT);
  EXPECT_EQ(static_cast<HRESULT>(end.param1), code)
      << AMGetErrorTextA(static_cast<HRESULT>(end.param1));
}

TEST(FailingRuns, AnOutputFolderThatDisappearsIsAWriteFailure) {
  ConversionRig rig(gst_test::LongClip(), kMkv, "vanishing.mkv");
  rig.UseCompressors("x264", "Vorbis");
  ASSERT_TRUE(rig.BuildAndStart());
  ASSERT_TRUE(rig.WaitForPosition(1.0));
  std::filesystem::remove_all(std::filesystem::path(rig.settings.outputPath).parent_path());
  ExpectAborted(rig.WaitForEnd(), HRESULT_WRITE_FAULT);
  rig.TearDown();
  EXPECT_FALSE(std::filesystem::exists(rig.settings.outputPath));
}

// The process may write files of a few hundred kilobytes only, as on a
// full disk; writing beyond fails instead of raising a signal.
class SmallFileLimit {
 public:
  explicit SmallFileLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~SmallFileLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    signal(SIGXFSZ, SIG_DFL);
  }
  SmallFileLimit(const SmallFileLimit&) = delete;
  SmallFileLimit& operator=(const SmallFileLimit&) = delete;

 private:
  rlimit previous_{};
};

TEST(FailingRuns, AFullDiskIsAWriteFailure) {
  const std::string source = gst_test::LongClip();
  for (int format : {kWmv, kAvi}) {
    ConversionRig rig(source, format, format == kWmv ? "full.wmv" : "full.avi");
    rig.UseCompressors("MPEG-4 part 2", "L.A.M.E.");
    RunEnd end;
    {
      SmallFileLimit limit(256 * 1024);
      if (rig.BuildAndStart()) end = rig.WaitForEnd();
    }
    ExpectAborted(end, HRESULT_WRITE_FAULT);
    rig.TearDown();
  }
}

TEST(FailingRuns, ADecoderThatVanishedBeforeTheRunIsNamed) {
  ConversionRig rig(test_support::Clip(test_support::ClipKind::Mp4H264Aac), kWmv, "nodecoder.wmv");
  const test_support::DecodersHidden hidden("video/x-h264");
  ASSERT_TRUE(rig.BuildAndStart());
  ExpectAborted(rig.WaitForEnd(), VFW_E_NO_DECOMPRESSOR);
  rig.TearDown();
}

TEST(FailingRuns, AFileThatCannotBeWrittenStopsTheStartWithItsReason) {
  ConversionRig rig(test_support::Clip(test_support::ClipKind::Mp4H264Aac), kWmv, "out.wmv");
  rig.settings.outputPath =
      std::filesystem::path(rig.settings.outputPath).parent_path() / "no such folder" / "out.wmv";
  ASSERT_GE(rig.Build(), 0);
  EXPECT_EQ(rig.Start(), HRESULT_PATH_NOT_FOUND);
  EXPECT_EQ(AMGetErrorTextA(HRESULT_PATH_NOT_FOUND), "The system cannot find the path.");
  rig.TearDown();
}

}  // namespace
