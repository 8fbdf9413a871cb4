// The mends of how GStreamer's MP4 and AVI demuxers read common files, each
// held back against the installed demuxer: what it mends shows exactly
// where its probe says the behaviour is there.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "platform/gst/gst_handle.h"
#include "platform/gst/pad_probe.h"
#include "platform/gst/pipeline/conversion_pipeline.h"
#include "platform/gst/workarounds/input/avi_times.h"
#include "platform/gst/workarounds/registry.h"
#include "platform/threads/thread_order.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/platform/gst/workarounds/canary.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"

namespace {

using gst::ElementChoice;
using gst::StreamKind;
using gst::Workaround;
using gst_test::ReportCanary;
using test_support::FfmpegClip;

// Where the sound of `path` ends by its stamps as a run's decoder gives
// it, the AVI reader's times mended as a run mends them; -1 when it cannot
// be decoded.
double DecodedSoundEnd(const std::string& path) {
  GError* raw = nullptr;
  const gst::ElementPtr pipeline(gst_parse_launch(
      ("filesrc location=\"" + path +
       "\" ! decodebin name=decoder decoder. ! audio/x-raw ! fakesink name=sink sync=false")
          .c_str(),
      &raw));
  const gst::ErrorPtr error(raw);
  if (!pipeline || error) return -1;
  const gst::ElementPtr decoder(gst_bin_get_by_name(GST_BIN(pipeline.get()), "decoder"));
  gst::KeepAviStreamsInTime(decoder.get());
  const gst::ElementPtr sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
  const gst::PadPtr input(gst_element_get_static_pad(sink.get(), "sink"));
  GstClockTime end = 0;
  const gst::PadProbe last(
      input.get(), GST_PAD_PROBE_TYPE_BUFFER,
      [](GstPad*, GstPadProbeInfo* info, gpointer data) {
        const GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
        if (GST_BUFFER_PTS_IS_VALID(buffer) && GST_BUFFER_DURATION_IS_VALID(buffer))
          *static_cast<GstClockTime*>(data) = GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer);
        return GST_PAD_PROBE_OK;
      },
      &end, nullptr);
  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  const gst::BusPtr bus(gst_element_get_bus(pipeline.get()));
  const gst::MessagePtr ended(
      gst_bus_timed_pop_filtered(bus.get(), GST_CLOCK_TIME_NONE,
                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  threads::AcquireState(&end);
  if (GST_MESSAGE_TYPE(ended.get()) != GST_MESSAGE_EOS) return -1;
  return double(end) / GST_SECOND;
}

class DemuxerCanary : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }

  // Converts the one stream of `kind` of `clip` by `encoder` (none: as it
  // decodes) into `muxer`; gives the source's path and the output's.
  static std::pair<std::string, std::string> Convert(FfmpegClip clip, StreamKind kind,
                                                     std::optional<ElementChoice> encoder,
                                                     const char* muxer, const std::string& name) {
    gst::BranchDescription branch;
    branch.kind = kind;
    branch.encoder = std::move(encoder);
    gst::PipelineDescription description;
    description.sourcePath = test_support::Clip(clip);
    description.branches.push_back(std::move(branch));
    description.muxer = ElementChoice::Make(muxer);
    description.outputPath = gst_test::OutputPath(name);
    auto paths = std::pair(description.sourcePath, description.outputPath);
    const auto outcome = gst_test::Convert(std::move(description));
    EXPECT_TRUE(outcome.Completed()) << outcome.Describe();
    return paths;
  }
};

// GStreamer 1.22 ends the sound of a clip cut without re-encoding as much
// early as its edit list skips of its samples (0.38 s).
TEST_F(DemuxerCanary, Mp4EditedEnd) {
  const gst::DisengagedWorkaround held("mp4-edited-end");
  const auto [source, output] =
      Convert(FfmpegClip::TrimmedMp4, StreamKind::Audio, ElementChoice::Make("vorbisenc"),
              "matroskamux", "edited end.mkv");
  const double lost = test_support::SoundEnd(source) - test_support::SoundEnd(output);
  EXPECT_EQ(lost > 0.1, gst::BehaviourPresent(Workaround::Mp4EditedEnd)) << lost << " s lost";
  ReportCanary(Workaround::Mp4EditedEnd);
}

// The picture of that clip comes out at a rate the demuxer read from a
// length that counts the reordering delay.
TEST_F(DemuxerCanary, Mp4CutFrameRate) {
  const gst::DisengagedWorkaround held("mp4-cut-frame-rate");
  const auto [source, output] = Convert(
      FfmpegClip::TrimmedMp4, StreamKind::Video,
      ElementChoice::Make("x264enc", {{"speed-preset", "ultrafast"}}), "matroskamux", "cut.mkv");
  const double in = test_support::FfProbe(source).First("video").frameRate;
  const double out = test_support::FfProbe(output).First("video").frameRate;
  EXPECT_EQ(std::abs(out - in) > in / 200, gst::BehaviourPresent(Workaround::Mp4CutFrameRate))
      << out << " fps from " << in;
  ReportCanary(Workaround::Mp4CutFrameRate);
}

// A recording whose sound stops after 1.5 s of 10 s has no sound to the
// demuxer: its sound track is left out.
TEST_F(DemuxerCanary, Mp4ShortTrack) {
  const gst::DisengagedWorkaround held("mp4-short-track");
  gst::BranchDescription branch;
  branch.kind = StreamKind::Audio;
  branch.encoder = ElementChoice::Make("vorbisenc");
  gst::PipelineDescription description;
  description.sourcePath = test_support::Clip(FfmpegClip::BriefSoundMp4);
  description.branches.push_back(std::move(branch));
  description.muxer = ElementChoice::Make("matroskamux");
  description.outputPath = gst_test::OutputPath("brief sound.mkv");
  const auto outcome = gst_test::Convert(std::move(description));
  EXPECT_EQ(!outcome.Completed(), gst::BehaviourPresent(Workaround::Mp4ShortTrack))
      << outcome.Describe();
  ReportCanary(Workaround::Mp4ShortTrack);
}

// The flash half a second into an Xvid with B pictures comes out at a
// keyframe's decoding tick, ahead of its time.
TEST_F(DemuxerCanary, AviKeyframeStamps) {
  const gst::DisengagedWorkaround held("avi-keyframe-stamps");
  const auto [source, output] =
      Convert(FfmpegClip::XvidAvi, StreamKind::Video,
              ElementChoice::Make("x264enc", {{"speed-preset", "ultrafast"}}), "matroskamux",
              "keyframe stamps.mkv");
  const double flash = test_support::FirstPictureChange(output);
  EXPECT_EQ(std::abs(flash - 0.5) > 0.02, gst::BehaviourPresent(Workaround::AviKeyframeStamps))
      << "the flash at " << flash << " s";
  ReportCanary(Workaround::AviKeyframeStamps);
}

// A camera's ADPCM sound comes out of the decoder stamped at half its time.
// (A run's sound never goes back in time, audio_continuity.h, so a run would
// show it only where the sound's first stamp is not its start.)
TEST_F(DemuxerCanary, AviAdpcmTimes) {
  const gst::DisengagedWorkaround held("avi-adpcm-times");
  const std::string source = test_support::Clip(FfmpegClip::CameraAvi);
  const double end = DecodedSoundEnd(source);
  const double length = test_support::FfProbe(source).duration;
  EXPECT_EQ(end < 0.75 * length, gst::BehaviourPresent(Workaround::AviAdpcmTimes))
      << "the sound ends at " << end << " s of " << length;
  ReportCanary(Workaround::AviAdpcmTimes);
}

}  // namespace
