// Sources made by an independent tool, of the kinds people bring (broadcast
// and DVD streams whose streams start late, DV, interlaced HD), through every
// writer: complete, clean to decode, as long as the source, in the shape it
// shows at, and with each stream starting where it starts in the source.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/gst/encoders/asf_writer_plan.h"
#include "platform/gst/workarounds/encoder/encoder_delay.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"

namespace {

using gst::ElementChoice;
using gst::PipelineDescription;
using gst::StreamKind;
using test_support::FfmpegClip;
using test_support::ProbeReport;

enum class Writer { WindowsMedia, Matroska, Mp4, Avi };

const char* NameOf(Writer writer) {
  switch (writer) {
    case Writer::WindowsMedia:
      return "Wmv";
    case Writer::Matroska:
      return "Mkv";
    case Writer::Mp4:
      return "Mp4";
    case Writer::Avi:
      return "Avi";
  }
  return "?";
}

gst::BranchDescription Branch(StreamKind kind, ElementChoice encoder) {
  gst::BranchDescription branch;
  branch.kind = kind;
  branch.encoder = std::move(encoder);
  return branch;
}

// What each format is written with; Windows Media as its writer plans it,
// at the source's frame size and rate.
PipelineDescription Describe(Writer writer, const std::string& source, const ProbeReport& probe) {
  struct Parts {
    const char* video;
    const char* audio;
    const char* muxer;
    const char* extension;
  };
  PipelineDescription description;
  description.sourcePath = source;
  if (writer == Writer::WindowsMedia) {
    const auto video = probe.First("video");
    gst::AsfWriterPlan plan =
        gst::PlanAsfWriter(gst::AsfAudioStream{128000, 44100, 2},
                           gst::AsfVideoStream{video.width, video.height, 0, 1, 1000000, 8});
    description.branches = std::move(plan.branches);
    description.muxer = std::move(plan.muxer);
    description.outputPath = gst_test::OutputPath("out.wmv");
    return description;
  }
  const Parts parts = writer == Writer::Matroska
                          ? Parts{"x264enc", "vorbisenc", "matroskamux", "mkv"}
                      : writer == Writer::Mp4 ? Parts{"x264enc", "avenc_aac", "mp4mux", "mp4"}
                                              : Parts{"avenc_mpeg4", "lamemp3enc", "avimux", "avi"};
  std::vector<std::pair<std::string, std::string>> video;
  std::vector<std::pair<std::string, std::string>> audio;
  if (std::string(parts.video) == "x264enc") video = {{"speed-preset", "ultrafast"}};
  // Readers time MP3 in AVI by its bytes, which only a constant rate keeps true.
  if (std::string(parts.audio) == "lamemp3enc") audio = {{"target", "bitrate"}, {"cbr", "true"}};
  description.branches.push_back(
      Branch(StreamKind::Video, ElementChoice::Make(parts.video, std::move(video))));
  description.branches.push_back(
      Branch(StreamKind::Audio, ElementChoice::Make(parts.audio, std::move(audio))));
  description.muxer = ElementChoice::Make(parts.muxer);
  description.outputPath = gst_test::OutputPath(std::string("out.") + parts.extension);
  return description;
}

// Where a stream starts, counted from the start of its file.
double Offset(const ProbeReport& probe, const char* kind) {
  return probe.First(kind).startTime - probe.startTime;
}

struct Case {
  FfmpegClip clip;
  Writer writer;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << test_support::NameOf(c.clip) << " into " << NameOf(c.writer);
}

class ForeignSources : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { gst_test::InitGst(); }
};

TEST_P(ForeignSources, ConvertCompleteAndInSync) {
  const Case& c = GetParam();
  const std::string source = test_support::Clip(c.clip);
  const ProbeReport in = test_support::FfProbe(source);
  ASSERT_TRUE(in.ok) << in.error;
  PipelineDescription description = Describe(c.writer, source, in);
  const std::string output = description.outputPath;

  const auto outcome = gst_test::Convert(std::move(description));
  ASSERT_TRUE(outcome.Completed()) << outcome.Describe();
  EXPECT_EQ(test_support::DecodeErrors(output), "");
  const ProbeReport out = test_support::FfProbe(output);
  ASSERT_TRUE(out.ok) << out.error;
  ASSERT_EQ(out.CountOf("video"), 1);
  ASSERT_EQ(out.CountOf("audio"), 1);
  EXPECT_EQ(out.First("video").displayAspect, in.First("video").displayAspect)
      << "the pictures keep their shape";
  if (c.writer != Writer::WindowsMedia) {
    EXPECT_NEAR(out.First("video").frameRate, in.First("video").frameRate,
                in.First("video").frameRate / 200)
        << "the pictures keep their rate";
  }
  if (Offset(in, "video") < 0.1) {
    EXPECT_NEAR(out.First("video").startTime - out.startTime, Offset(in, "video"), 0.04)
        << "the picture starts where it starts in the source";
  } else {
    // A picture that starts late is held from the start, as the sound's gap
    // is filled with silence: its motion starts where it starts.
    EXPECT_NEAR(test_support::FirstPictureChange(output), test_support::FirstPictureChange(source),
                0.05)
        << "the picture moves from where it moves in the source";
  }
  // Windows Media Audio's stream starts a frame ahead of its sound: what
  // the encoder is given comes out a frame later.
  const double ahead = c.writer == Writer::WindowsMedia
                           ? gst::EncoderDelaySamples("avenc_wmav2", 44100) / 44100.0
                           : 0;
  EXPECT_NEAR(test_support::SoundStart(output), test_support::SoundStart(source), 0.04 + ahead)
      << "the sound starts where it starts in the source";
  EXPECT_NEAR(test_support::SoundEnd(output), test_support::SoundEnd(source), 0.1)
      << "the sound ends where it ends in the source";
  if (c.writer == Writer::WindowsMedia && Offset(in, "audio") > 0.1) {
    // ffprobe adds a late stream's start to the play duration an ASF
    // header states for the whole file; the packets tell the length.
    EXPECT_NEAR(test_support::PacketSpan(output), in.duration, 0.1);
  } else {
    EXPECT_NEAR(out.duration, in.duration, 0.1);
  }
}

// A first sound of one frame that GStreamer's parser misreads gives its
// decoder nothing, and the AVI and MP4 writers would then write files no
// reader opens: the run fails instead of reporting them written. GStreamer
// 1.26's decoder says so itself, as a source it cannot decode.
TEST(ForeignSourcesRefused, ASoundThatGivesNothingFailsTheRunIntoAviAndMp4) {
  gst_test::InitGst();
  const std::string source = test_support::Clip(FfmpegClip::OneFrameFirstSoundTs);
  const ProbeReport in = test_support::FfProbe(source);
  ASSERT_TRUE(in.ok) << in.error;
  for (Writer writer : {Writer::Avi, Writer::Mp4}) {
    const auto outcome = gst_test::Convert(Describe(writer, source, in));
    ASSERT_TRUE(outcome.event) << outcome.Describe();
    EXPECT_THAT(outcome.event->failure,
                testing::AnyOf(gst::PipelineEvent::Failure::Negotiation,
                               gst::PipelineEvent::Failure::UnreadableSource))
        << NameOf(writer) << ": " << outcome.Describe();
  }
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (FfmpegClip clip :
       {FfmpegClip::BroadcastTs, FfmpegClip::DvdPs, FfmpegClip::CamcorderTs, FfmpegClip::DvPal,
        FfmpegClip::DvNtsc, FfmpegClip::LateAudioTs, FfmpegClip::LateSoundMov,
        FfmpegClip::ReorderedMkv, FfmpegClip::TrimmedMp4, FfmpegClip::LateVideoTs,
        FfmpegClip::DvdSecondPart, FfmpegClip::OutlastingSoundMp4, FfmpegClip::BriefSoundMp4})
    for (Writer writer : {Writer::WindowsMedia, Writer::Matroska, Writer::Mp4, Writer::Avi})
      cases.push_back({clip, writer});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Writers, ForeignSources, ::testing::ValuesIn(AllCases()),
                         [](const auto& test) {
                           return std::string(test_support::NameOf(test.param.clip)) +
                                  NameOf(test.param.writer);
                         });

}  // namespace
