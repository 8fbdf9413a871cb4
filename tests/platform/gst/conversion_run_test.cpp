// How a conversion run starts, ends, stops and fails.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/gst/pipeline/conversion_pipeline.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/run_output.h"
#include "tests/support/waiting.h"

namespace {

using gst::ElementChoice;
using gst::PipelineDescription;
using gst::PipelineEvent;
using gst::StreamKind;
using test_support::Clip;
using test_support::ClipKind;
using namespace std::chrono_literals;

// An encoder name per stream: null for no branch, "" for the raw stream.
PipelineDescription Description(std::string source, const char* videoEncoder,
                                const char* audioEncoder, const char* muxer, std::string output) {
  PipelineDescription description;
  description.sourcePath = std::move(source);
  for (const auto& [kind, encoder] :
       {std::pair{StreamKind::Video, videoEncoder}, std::pair{StreamKind::Audio, audioEncoder}}) {
    if (!encoder) continue;
    gst::BranchDescription branch;
    branch.kind = kind;
    if (*encoder) branch.encoder = ElementChoice::Make(encoder);
    description.branches.push_back(std::move(branch));
  }
  if (muxer) description.muxer = ElementChoice::Make(muxer);
  description.outputPath = std::move(output);
  return description;
}

// A run whose end the test waits for itself.
class WatchedRun {
 public:
  explicit WatchedRun(PipelineDescription description)
      : run_(std::move(description), [this](const PipelineEvent& event) {
          std::lock_guard lock(mutex_);
          events_.push_back(event);
          changed_.notify_all();
        }) {}

  gst::ConversionPipeline& run() { return run_; }

  // Waits until the run reached `seconds` of media (false when it ended or
  // the wait ran out first).
  bool WaitForPosition(double seconds) {
    bool reached = false;
    test_support::WaitUntil([&] {
      const auto position = run_.Position();
      reached = position && *position >= seconds * 1e9;
      return reached || Events() > 0;
    });
    return reached;
  }
  std::optional<PipelineEvent> WaitForEnd() {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, test_support::kHangGuard, [this] { return !events_.empty(); });
    return events_.empty() ? std::nullopt : std::optional(events_.front());
  }
  std::size_t Events() {
    std::lock_guard lock(mutex_);
    return events_.size();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<PipelineEvent> events_;
  gst::ConversionPipeline run_;  // last: gone before what its handler uses
};

class ConversionRun : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }
};

void PrintTo(const struct StopCase& c, std::ostream* out);

struct StopCase {
  const char* muxer;
  const char* extension;
  const char* videoEncoder;
  const char* audioEncoder;
};

void PrintTo(const StopCase& c, std::ostream* out) { *out << c.extension; }

class StoppedRun : public ConversionRun, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StoppedRun, LeavesAValidFileEndingNearTheStopPoint) {
  const StopCase& c = GetParam();
  const std::string output = gst_test::OutputPath(std::string("stopped.") + c.extension);
  WatchedRun watched(
      Description(gst_test::LongClip(), c.videoEncoder, c.audioEncoder, c.muxer, output));
  const gst::Result<void> started = watched.run().Start();
  ASSERT_TRUE(started) << started.error();
  ASSERT_TRUE(watched.WaitForPosition(8.0)) << "the run ended before the stop";
  const double stopPoint = double(*watched.run().Position()) / 1e9;
  // However long the writer takes on a loaded machine, it finishes.
  EXPECT_EQ(watched.run().Stop(test_support::kHangGuard),
            gst::ConversionPipeline::StopResult::Finished);
  EXPECT_EQ(watched.Events(), 0u) << "a stop is not reported as an end";

  const auto probe = test_support::FfProbe(output);
  ASSERT_TRUE(probe.ok) << probe.error;
  EXPECT_EQ(probe.CountOf("video"), 1);
  EXPECT_EQ(probe.CountOf("audio"), 1);
  // What had entered the branches is written too (the slowest stream gives
  // the stop point, the fastest the file's end): up to the decoder's queue,
  // a second in each branch queue and x264's look-ahead, more of it the more
  // loaded the machine; still far from the clip's 30 s end.
  EXPECT_GT(probe.duration, stopPoint - 0.2);
  EXPECT_LT(probe.duration, stopPoint + 5.0);
  EXPECT_EQ(test_support::DecodeErrors(output), "");
}

INSTANTIATE_TEST_SUITE_P(Writers, StoppedRun,
                         ::testing::Values(StopCase{"avmux_asf", "asf", "avenc_wmv2",
                                                    "avenc_wmav2"},
                                           StopCase{"avimux", "avi", "avenc_mpeg4", "lamemp3enc"},
                                           StopCase{"matroskamux", "mkv", "x264enc", "vorbisenc"},
                                           StopCase{"mp4mux", "mp4", "x264enc", "avenc_aac"}),
                         [](const auto& test) { return std::string(test.param.extension); });

TEST_F(ConversionRun, ReportsItsEndOnceAndKnowsWhereItIs) {
  WatchedRun watched(Description(Clip(ClipKind::Mp4H264Aac), "avenc_mpeg4", "lamemp3enc", "avimux",
                                 gst_test::OutputPath("whole.avi")));
  const gst::Result<void> started = watched.run().Start();
  ASSERT_TRUE(started) << started.error();
  const auto end = watched.WaitForEnd();
  ASSERT_TRUE(end);
  EXPECT_EQ(end->kind, PipelineEvent::Kind::Complete) << end->message;
  const auto duration = watched.run().Duration();
  ASSERT_TRUE(duration);
  EXPECT_NEAR(double(*duration) / 1e9, 2.0, 0.1);
  const auto position = watched.run().Position();
  ASSERT_TRUE(position);
  EXPECT_NEAR(double(*position) / 1e9, 2.0, 0.1);
  EXPECT_EQ(watched.run().Stop(), gst::ConversionPipeline::StopResult::Finished);
  EXPECT_EQ(watched.Events(), 1u);
}

TEST_F(ConversionRun, RefusesToStartWhatCannotBeBuilt) {
  struct Case {
    const char* why;
    PipelineDescription description;
    const char* mentions;
  };
  std::vector<Case> cases;
  cases.push_back({"missing output folder",
                   Description(Clip(ClipKind::Mp4H264Aac), "avenc_mpeg4", "lamemp3enc", "avimux",
                               gst_test::OutputPath("gone") + "/nowhere/out.avi"),
                   "nowhere"});
  cases.push_back({"unknown encoder",
                   Description(Clip(ClipKind::Mp4H264Aac), "avenc_nosuchcodec", "lamemp3enc",
                               "avimux", gst_test::OutputPath("x.avi")),
                   "avenc_nosuchcodec"});
  cases.push_back({"raw video into MP4",
                   Description(Clip(ClipKind::Mp4H264Aac), "", "avenc_aac", "mp4mux",
                               gst_test::OutputPath("x.mp4")),
                   "container"});
  auto badProperty = Description(Clip(ClipKind::Mp4H264Aac), "avenc_mpeg4", "lamemp3enc", "avimux",
                                 gst_test::OutputPath("x.avi"));
  gst::BranchDescription video;
  video.encoder = ElementChoice::Make("avenc_mpeg4", {{"bitrate", "fast"}});
  badProperty.branches[0] = std::move(video);
  cases.push_back({"bad property value", std::move(badProperty), "bitrate"});

  for (Case& c : cases) {
    WatchedRun watched(std::move(c.description));
    const gst::Result<void> started = watched.run().Start();
    EXPECT_FALSE(started) << c.why;
    EXPECT_NE(started.error().find(c.mentions), std::string::npos)
        << c.why << ": " << started.error();
    EXPECT_EQ(watched.run().Stop(), gst::ConversionPipeline::StopResult::Failed) << c.why;
    EXPECT_EQ(watched.Events(), 0u) << c.why;
  }
}

TEST_F(ConversionRun, SourceProblemsEndTheRunWithTheirKind) {
  struct Case {
    std::string source;
    PipelineEvent::Failure failure;
  };
  for (const Case& c :
       {Case{Clip(ClipKind::Mp4VideoOnly), PipelineEvent::Failure::MissingStream},
        Case{Clip(ClipKind::TextNamedMp4), PipelineEvent::Failure::UnreadableSource},
        Case{gst_test::UndecodableAudioClip(), PipelineEvent::Failure::MissingDecoder},
        Case{gst_test::OutputPath("absent.mp4"), PipelineEvent::Failure::UnreadableSource}}) {
    WatchedRun watched(Description(c.source, "avenc_mpeg4", "lamemp3enc", "avimux",
                                   gst_test::OutputPath("x.avi")));
    if (const gst::Result<void> started = watched.run().Start(); !started) {
      EXPECT_FALSE(started.error().empty()) << c.source;  // a missing file may fail at once
      continue;
    }
    const auto end = watched.WaitForEnd();
    ASSERT_TRUE(end) << c.source;
    EXPECT_EQ(end->kind, PipelineEvent::Kind::Error) << c.source;
    EXPECT_EQ(end->failure, c.failure) << c.source << ": " << end->message;
    EXPECT_FALSE(end->message.empty());
    EXPECT_EQ(watched.run().Stop(), gst::ConversionPipeline::StopResult::Failed);
  }
}

TEST_F(ConversionRun, AFileSizeLimitEndsTheRunWithAWriteErrorAndTheOldFileStays) {
  const std::string source = Clip(ClipKind::Mp4H264Aac);  // made before the limit
  const std::string output = gst_test::OutputPath("full.avi");
  std::ofstream(output) << "the user's own file";
  // A disk that fills up: writes beyond 64 KB fail with EFBIG instead of
  // killing the process.
  struct Limit {
    rlimit saved{};
    void (*previous)(int) = nullptr;
    Limit() {
      getrlimit(RLIMIT_FSIZE, &saved);
      previous = std::signal(SIGXFSZ, SIG_IGN);
      rlimit small = saved;
      small.rlim_cur = 64 * 1024;
      setrlimit(RLIMIT_FSIZE, &small);
    }
    ~Limit() {
      setrlimit(RLIMIT_FSIZE, &saved);
      std::signal(SIGXFSZ, previous);
    }
  };
  std::optional<PipelineEvent> end;
  gst::ConversionPipeline::StopResult stopped{};
  {
    const Limit limit;
    WatchedRun watched(Description(source, "avenc_mpeg4", "lamemp3enc", "avimux", output));
    const gst::Result<void> started = watched.run().Start();
    ASSERT_TRUE(started) << started.error();
    end = watched.WaitForEnd();
    stopped = watched.run().Stop();
  }
  ASSERT_TRUE(end) << "the run hung";
  EXPECT_EQ(end->kind, PipelineEvent::Kind::Error);
  EXPECT_EQ(end->failure, PipelineEvent::Failure::Write) << end->message << " " << end->detail;
  EXPECT_EQ(stopped, gst::ConversionPipeline::StopResult::Failed);
  std::ifstream kept(output);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the user's own file");
  EXPECT_EQ(test_support::WritingToward(output), "") << "a failed run takes its cut-off file away";
}

TEST_F(ConversionRun, AnOutputThatDisappearsWhileWrittenIsAnError) {
  const std::string output = gst_test::OutputPath("vanishing.mkv");
  WatchedRun watched(
      Description(gst_test::LongClip(), "x264enc", "vorbisenc", "matroskamux", output));
  const gst::Result<void> started = watched.run().Start();
  ASSERT_TRUE(started) << started.error();
  ASSERT_TRUE(watched.WaitForPosition(2.0));
  std::filesystem::remove_all(std::filesystem::path(output).parent_path());
  const auto end = watched.WaitForEnd();
  ASSERT_TRUE(end) << "the run hung";
  EXPECT_EQ(end->kind, PipelineEvent::Kind::Error);
  EXPECT_EQ(end->failure, PipelineEvent::Failure::Write);
  EXPECT_NE(end->message.find("vanishing.mkv"), std::string::npos) << end->message;
}

// A source cut short while it is read ends early, as a whole file would:
// the run fails rather than pass off part of it as the conversion.
TEST_F(ConversionRun, ASourceCutShortWhileReadIsAFailure) {
  const std::string source = gst_test::OutputPath("shrinking.mkv");
  std::filesystem::copy_file(gst_test::LongClip(), source);
  const std::string output = gst_test::OutputPath("from shrinking.mkv");
  WatchedRun watched(Description(source, "x264enc", "vorbisenc", "matroskamux", output));
  const gst::Result<void> started = watched.run().Start();
  ASSERT_TRUE(started) << started.error();
  ASSERT_TRUE(watched.WaitForPosition(2.0));
  std::filesystem::resize_file(source, std::filesystem::file_size(source) / 2);
  const auto end = watched.WaitForEnd();
  ASSERT_TRUE(end) << "the run hung";
  EXPECT_EQ(end->kind, PipelineEvent::Kind::Error);
  EXPECT_EQ(end->failure, PipelineEvent::Failure::UnreadableSource) << end->message;
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(ConversionRun, ACallersEncoderServesRunAfterRunWithItsCurrentSettings) {
  const gst::ElementPtr encoder(
      GST_ELEMENT(gst_object_ref_sink(gst_element_factory_make("avenc_wmav2", nullptr))));
  for (int bitrate : {64000, 192000}) {
    g_object_set(encoder.get(), "bitrate", bitrate, nullptr);
    PipelineDescription description = Description(Clip(ClipKind::Mp4H264Aac), "avenc_wmv2", nullptr,
                                                  "avmux_asf", gst_test::OutputPath("shared.asf"));
    gst::BranchDescription audio;
    audio.kind = StreamKind::Audio;
    audio.encoder = ElementChoice::Use(encoder.get());
    description.branches.push_back(std::move(audio));
    const std::string output = description.outputPath;
    const auto outcome = gst_test::Convert(std::move(description));
    ASSERT_TRUE(outcome.Completed()) << outcome.Describe();
    const auto probe = test_support::FfProbe(output);
    ASSERT_EQ(probe.CountOf("audio"), 1);
    EXPECT_EQ(probe.First("audio").bitRate, bitrate);
    EXPECT_EQ(GST_OBJECT_PARENT(encoder.get()), nullptr) << "given back after the run";
  }
}

}  // namespace
