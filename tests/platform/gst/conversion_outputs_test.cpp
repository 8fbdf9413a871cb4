// What a conversion writes: every container and encoder pairing the
// converter uses, probed back by ffprobe and decoded by ffmpeg.

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <utility>

#include "platform/gst/encoders/encoder_defaults.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pipeline/conversion_pipeline.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/support/ffmpeg_clips.h"
#include "tests/support/ffprobe.h"
#include "tests/support/gst_test_media.h"
#include "tests/support/media_fixtures.h"

namespace {

using gst::BranchDescription;
using gst::ElementChoice;
using gst::PipelineDescription;
using gst::StreamKind;
using test_support::Clip;
using test_support::ClipKind;

BranchDescription Video(std::optional<ElementChoice> encoder, gst::RawVideo raw = {}) {
  BranchDescription branch;
  branch.kind = StreamKind::Video;
  branch.encoder = std::move(encoder);
  branch.video = std::move(raw);
  return branch;
}

BranchDescription Audio(std::optional<ElementChoice> encoder, int index = 0) {
  BranchDescription branch;
  branch.kind = StreamKind::Audio;
  branch.streamIndex = index;
  branch.encoder = std::move(encoder);
  return branch;
}

PipelineDescription Describe(std::string source, std::vector<BranchDescription> branches,
                             const char* muxer, std::string output) {
  PipelineDescription description;
  description.sourcePath = std::move(source);
  description.branches = std::move(branches);
  description.muxer = ElementChoice::Make(muxer);
  description.outputPath = std::move(output);
  return description;
}

class ConversionOutputs : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }

  // Converts and checks what every output must be: complete, readable,
  // clean to decode. Gives the probe for the specific checks.
  static test_support::ProbeReport ConvertAndProbe(PipelineDescription description) {
    const std::string output = description.outputPath;
    const auto outcome = gst_test::Convert(std::move(description));
    EXPECT_TRUE(outcome.Completed()) << outcome.Describe();
    const auto probe = test_support::FfProbe(output);
    EXPECT_TRUE(probe.ok) << probe.error;
    EXPECT_EQ(test_support::DecodeErrors(output), "");
    return probe;
  }
};

struct ContainerCase {
  const char* name;
  const char* videoEncoder;  // empty: raw video
  const char* audioEncoder;
  const char* muxer;
  const char* extension;
  const char* videoCodec;
  const char* audioCodec;
};

void PrintTo(const ContainerCase& c, std::ostream* out) { *out << c.name; }

class Containers : public ConversionOutputs, public ::testing::WithParamInterface<ContainerCase> {};

TEST_P(Containers, WriteBothStreamsWithTheSourcesDuration) {
  const ContainerCase& c = GetParam();
  std::optional<ElementChoice> video;
  if (*c.videoEncoder) video = ElementChoice::Make(c.videoEncoder);
  std::vector<BranchDescription> branches;
  branches.push_back(Video(std::move(video)));
  branches.push_back(Audio(ElementChoice::Make(c.audioEncoder)));
  const auto probe =
      ConvertAndProbe(Describe(Clip(ClipKind::Mp4H264Aac), std::move(branches), c.muxer,
                               gst_test::OutputPath(std::string("out.") + c.extension)));
  EXPECT_NEAR(probe.duration, 2.0, 0.2);
  ASSERT_EQ(probe.CountOf("video"), 1);
  ASSERT_EQ(probe.CountOf("audio"), 1);
  EXPECT_EQ(probe.First("video").codecName, c.videoCodec);
  EXPECT_EQ(probe.First("video").width, 320);
  EXPECT_EQ(probe.First("video").height, 240);
  EXPECT_NEAR(probe.First("video").frameRate, 25, 0.5);
  EXPECT_EQ(probe.First("audio").codecName, c.audioCodec);
}

INSTANTIATE_TEST_SUITE_P(
    Writers, Containers,
    ::testing::Values(
        ContainerCase{"Mpeg4Mp3Avi", "avenc_mpeg4", "lamemp3enc", "avimux", "avi", "mpeg4", "mp3"},
        ContainerCase{"Wmv2Wma2Asf", "avenc_wmv2", "avenc_wmav2", "avmux_asf", "asf", "wmv2",
                      "wmav2"},
        ContainerCase{"H264VorbisMatroska", "x264enc", "vorbisenc", "matroskamux", "mkv", "h264",
                      "vorbis"},
        ContainerCase{"H264AacMp4", "x264enc", "avenc_aac", "mp4mux", "mp4", "h264", "aac"},
        ContainerCase{"RawVideoAvi", "", "lamemp3enc", "avimux", "avi", "rawvideo", "mp3"}),
    [](const auto& test) { return std::string(test.param.name); });

// Matroska takes 4:4:4 pictures raw as AYUV, which players cannot read back.
TEST_F(ConversionOutputs, RawPicturesAreWrittenInAFormPlayersRead) {
  for (const auto& [muxer, extension] : {std::pair{"matroskamux", "mkv"}, {"avimux", "avi"}}) {
    SCOPED_TRACE(muxer);
    std::vector<BranchDescription> branches;
    branches.push_back(Video(std::nullopt));
    const auto probe =
        ConvertAndProbe(Describe(Clip(ClipKind::Mp4FullColour), std::move(branches), muxer,
                                 gst_test::OutputPath(std::string("raw.") + extension)));
    ASSERT_EQ(probe.CountOf("video"), 1);
    EXPECT_EQ(probe.First("video").codecName, "rawvideo");
  }
}

TEST_F(ConversionOutputs, EncodersThatNeedAnEvenWidthGetOne) {
  std::vector<BranchDescription> branches;
  branches.push_back(Video(ElementChoice::Make("avenc_wmv2")));
  const auto probe = ConvertAndProbe(Describe(Clip(ClipKind::AviOddWidth), std::move(branches),
                                              "avmux_asf", gst_test::OutputPath("odd.asf")));
  ASSERT_EQ(probe.CountOf("video"), 1);
  EXPECT_EQ(probe.First("video").width, 320);
  EXPECT_EQ(probe.First("video").height, 241) << "an odd height is fine for this encoder";
  EXPECT_NEAR(probe.duration, 2.0, 0.2);
}

// libav's rate control used to plan for a billion frames a second and wrote
// the same file whatever bitrate was asked.
TEST_F(ConversionOutputs, ALibavVideoCompressorKeepsToTheBitrateItIsGiven) {
  for (const int bitrate : {2000000, 4000000}) {
    std::vector<BranchDescription> branches;
    branches.push_back(
        Video(ElementChoice::Make("avenc_mpeg4", {{"bitrate", std::to_string(bitrate)}}),
              {"I420", 640, 480, 25, 1}));
    branches.push_back(Audio(ElementChoice::Make("lamemp3enc")));
    const std::string output = gst_test::OutputPath("rate " + std::to_string(bitrate) + ".avi");
    const auto probe =
        ConvertAndProbe(Describe(gst_test::BusyClip(), std::move(branches), "avimux", output));
    ASSERT_EQ(probe.CountOf("video"), 1);
    EXPECT_NEAR(probe.duration, 4.0, 0.2);
    EXPECT_NEAR(test_support::MeasuredBitrate(output, "video"), bitrate, 0.2 * bitrate)
        << "asked for " << bitrate;
  }
}

TEST_F(ConversionOutputs, AVariableRateSourceComesOutAtTheAskedRate) {
  std::vector<BranchDescription> branches;
  branches.push_back(Video(ElementChoice::Make("avenc_mpeg4"), {"I420", 320, 240, 25, 1}));
  auto description = Describe(Clip(ClipKind::MkvVariableRate), std::move(branches), "avimux",
                              gst_test::OutputPath("steady.avi"));
  const auto probe = ConvertAndProbe(std::move(description));
  ASSERT_EQ(probe.CountOf("video"), 1);
  EXPECT_NEAR(probe.First("video").frameRate, 25, 0.5);
  EXPECT_NEAR(probe.duration, 2.0, 0.2);
}

// Pictures a lower rate leaves out are dropped early; those kept are each
// shown once, progressive or interlaced.
TEST_F(ConversionOutputs, ALowerRateShowsEachKeptPictureOnce) {
  for (const auto clip : {test_support::FfmpegClip::Fast60, test_support::FfmpegClip::DvPal}) {
    SCOPED_TRACE(test_support::NameOf(clip));
    std::vector<BranchDescription> branches;
    branches.push_back(Video(ElementChoice::Make("avenc_wmv2"), {"I420", 320, 240, 20, 1}));
    const std::string output = gst_test::OutputPath("fewer.asf");
    const auto probe = ConvertAndProbe(
        Describe(test_support::Clip(clip), std::move(branches), "avmux_asf", output));
    ASSERT_EQ(probe.CountOf("video"), 1);
    EXPECT_NEAR(probe.First("video").frameRate, 20, 0.5);
    EXPECT_NEAR(test_support::DistinctPictures(output), 40, 1);
  }
}

// A file that shows every picture for its time (AVI) repeats a picture
// only where the source leaves time between two. GStreamer's Matroska
// demuxer moves its segment's start once it reaches the sound, which the
// rate element took for a new start to fill from.
TEST_F(ConversionOutputs, PicturesAreRepeatedOnlyWhereTheSourceLeavesTime) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::ReorderedMkv);
  const auto in = test_support::FfProbe(source);
  ASSERT_TRUE(in.ok) << in.error;
  std::vector<BranchDescription> branches;
  branches.push_back(Video(std::nullopt));
  const auto out = ConvertAndProbe(
      Describe(source, std::move(branches), "avimux", gst_test::OutputPath("steady.avi")));
  ASSERT_EQ(out.CountOf("video"), 1);
  EXPECT_NEAR(out.First("video").duration, in.duration, 0.04) << "within one picture's time";
}

// Most audio encoders start their sound late: a frame of Windows Media
// Audio (46 ms), LAME's 1105 samples, AAC's priming, DTS's 512. The
// containers keep no note of it, so every such file's sound lagged its
// picture by that much. A variable-rate MP3 in an AVI drifted besides:
// readers time it by bytes.
TEST_F(ConversionOutputs, SoundIsHeardWhenItWasInTheSource) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::BeepingMov);
  for (const auto& [encoder, muxer, output] :
       {std::tuple{"avenc_wmav2", "avmux_asf", "beeps.asf"},
        std::tuple{"lamemp3enc", "avimux", "beeps.avi"},
        std::tuple{"voaacenc", "mp4mux", "beeps.mp4"},
        std::tuple{"avenc_aac", "matroskamux", "beeps.mkv"},
        std::tuple{"avenc_dca", "matroskamux", "beeps-dts.mkv"},
        std::tuple{"avenc_eac3", "matroskamux", "beeps-eac3.mkv"},
        std::tuple{"avenc_real_144", "matroskamux", "beeps-ra.mkv"}}) {
    SCOPED_TRACE(encoder);
    std::vector<BranchDescription> branches;
    // Made as the run makes a compressor (libav opens its DTS encoder only
    // when allowed experimental ones).
    branches.push_back(Audio(ElementChoice::Use(gst::MakeEncoder(encoder).get())));
    const std::string path = gst_test::OutputPath(output);
    ConvertAndProbe(Describe(source, std::move(branches), muxer, path));
    const std::vector<double> beeps = test_support::BeepStarts(path);
    ASSERT_EQ(beeps.size(), 3u);
    for (std::size_t i = 0; i < beeps.size(); ++i) EXPECT_NEAR(beeps[i], 0.5 + double(i), 0.01);
  }
}

// GStreamer's AAC parser dropped the first 0.4 s of LATM sound and gave the
// time of a packet to a frame further into it: the whole sound played three
// frames (64 ms) early.
TEST_F(ConversionOutputs, LatmSoundOfABroadcastKeepsItsTime) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::LatmBroadcastTs);
  std::vector<BranchDescription> branches;
  branches.push_back(Audio(ElementChoice::Make("vorbisenc")));
  const std::string path = gst_test::OutputPath("latm.mkv");
  ConvertAndProbe(Describe(source, std::move(branches), "matroskamux", path));
  EXPECT_NEAR(test_support::SoundStart(path), test_support::SoundStart(source), 0.03)
      << "the sound starts with the source's";
  const std::vector<double> beeps = test_support::BeepStarts(path);
  ASSERT_EQ(beeps.size(), 3u);
  for (std::size_t i = 0; i < beeps.size(); ++i) EXPECT_NEAR(beeps[i], 0.5 + double(i), 0.01);
}

// The AVI reader stamped every keyframe with its decoding tick, which with B
// pictures comes before it is shown: the pictures from the second keyframe
// on played three ticks (100 ms) early.
TEST_F(ConversionOutputs, PicturesOfAnAviWithBPicturesKeepTheirTimes) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::XvidAvi);
  std::vector<BranchDescription> branches;
  branches.push_back(Video(ElementChoice::Make("x264enc", {{"speed-preset", "ultrafast"}})));
  const std::string path = gst_test::OutputPath("xvid.mkv");
  ConvertAndProbe(Describe(source, std::move(branches), "matroskamux", path));
  EXPECT_NEAR(test_support::FirstPictureChange(path), 0.5, 0.02) << "the first flash";
}

// The AVI reader stamped each IMA ADPCM block at half its time: a writer
// that keeps to the stamps kept half the sound, and beeps came early.
TEST_F(ConversionOutputs, AdpcmSoundOfACameraKeepsItsTime) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::CameraAvi);
  std::vector<BranchDescription> branches;
  branches.push_back(Audio(std::nullopt));
  const std::string path = gst_test::OutputPath("camera.avi");
  ConvertAndProbe(Describe(source, std::move(branches), "avimux", path));
  const std::vector<double> beeps = test_support::BeepStarts(path);
  ASSERT_EQ(beeps.size(), 3u);
  for (std::size_t i = 0; i < beeps.size(); ++i) EXPECT_NEAR(beeps[i], 0.5 + double(i), 0.01);
  EXPECT_NEAR(test_support::SoundEnd(path), test_support::SoundEnd(source), 0.02);
}

// Read by the byte rate its header states, variable-rate MP3 in AVI is
// stamped closer together than it lasts: the Vorbis run failed on time that
// went back, and the AVI writer's audiorate dropped three quarters of the
// sound as overlapping.
TEST_F(ConversionOutputs, SoundWhoseStampsOverlapKeepsEverySample) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::ConstantRateClaimedAvi);
  for (const auto& [encoder, muxer, name] :
       {std::tuple<const char*, const char*, const char*>{"vorbisenc", "matroskamux", "vbr.mkv"},
        {nullptr, "avimux", "vbr.avi"}}) {
    std::vector<BranchDescription> branches;
    branches.push_back(Audio(encoder ? std::optional(ElementChoice::Make(encoder)) : std::nullopt));
    const std::string path = gst_test::OutputPath(name);
    ConvertAndProbe(Describe(source, std::move(branches), muxer, path));
    EXPECT_NEAR(test_support::SoundEnd(path), 4.0, 0.1) << muxer;
  }
}

// voaacenc drops its last part-frame and the 1600 samples it holds back:
// the sound ended 54 ms early at 48 kHz.
TEST_F(ConversionOutputs, AnAacEncoderThatHoldsSoundBackGivesItAllOut) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::DvPal);
  std::vector<BranchDescription> branches;
  branches.push_back(Audio(ElementChoice::Make("voaacenc")));
  const std::string path = gst_test::OutputPath("held.mp4");
  ConvertAndProbe(Describe(source, std::move(branches), "mp4mux", path));
  EXPECT_NEAR(test_support::SoundEnd(path), test_support::SoundEnd(source), 0.01);
}

// TwoLAME took a 22.05 kHz sound as it was, then failed to open: its
// default bitrate is more than MPEG-2's half rates allow.
TEST_F(ConversionOutputs, TwoLameTakesASoundOfHalfTheUsualRate) {
  std::vector<BranchDescription> branches;
  branches.push_back(Audio(ElementChoice::Make("twolamemp2enc")));
  const std::string path = gst_test::OutputPath("camera.mkv");
  const auto probe =
      ConvertAndProbe(Describe(test_support::Clip(test_support::FfmpegClip::CameraAvi),
                               std::move(branches), "matroskamux", path));
  EXPECT_EQ(probe.First("audio").codecName, "mp2");
}

// The AVI writer took MPEG audio for a constant byte rate worked out from
// the buffers' durations; TwoLAME's last part-frame made that rate too high
// for a short clip, and its sound ran ahead of the picture (15 ms in 4 s).
// It stated Windows Media Audio's time base as whole blocks a second (23
// for 23.4375), and the sound ran 1.9 % slow.
TEST_F(ConversionOutputs, SoundInAnAviIsTimedByItsFrames) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::BeepingMov);
  // The seconds each frame holds at the source's 48 kHz.
  for (const auto& [encoder, frame] :
       {std::pair{"twolamemp2enc", 1152 / 48000.0}, std::pair{"avenc_mp2", 1152 / 48000.0},
        std::pair{"lamemp3enc", 1152 / 48000.0}, std::pair{"avenc_wmav2", 2048 / 48000.0}}) {
    SCOPED_TRACE(encoder);
    std::vector<BranchDescription> branches;
    branches.push_back(Audio(ElementChoice::Make(encoder)));
    const std::string path = gst_test::OutputPath("framed.avi");
    ConvertAndProbe(Describe(source, std::move(branches), "avimux", path));
    const std::vector<double> times = test_support::PacketTimes(path, "audio");
    ASSERT_GT(times.size(), 50u);
    EXPECT_NEAR(times.back() - times.front(), double(times.size() - 1) * frame, 0.002);
  }
}

// libav's encoders read a mono frame straight from GStreamer's buffer; the
// clip at the encoder's delay left frames at odd addresses, and the Windows
// Media Audio encoder crashed the run on a camera's mono 22.05 kHz sound.
TEST_F(ConversionOutputs, AMonoSoundReachesLibavEncodersAligned) {
  const std::string source = test_support::Clip(test_support::FfmpegClip::CameraAvi);
  for (const char* encoder : {"avenc_wmav2", "avenc_wmav1"}) {
    SCOPED_TRACE(encoder);
    std::vector<BranchDescription> branches;
    branches.push_back(Audio(ElementChoice::Make(encoder)));
    const std::string path = gst_test::OutputPath("mono.mkv");
    ConvertAndProbe(Describe(source, std::move(branches), "matroskamux", path));
    const std::vector<double> beeps = test_support::BeepStarts(path);
    ASSERT_EQ(beeps.size(), 3u);
    for (std::size_t i = 0; i < beeps.size(); ++i) EXPECT_NEAR(beeps[i], 0.5 + double(i), 0.01);
  }
}

// Less sound than the encoder's delay would all be cut, leaving the muxer a
// stream with nothing to describe it: the run failed. It is kept instead.
TEST_F(ConversionOutputs, ASoundShorterThanTheEncodersDelayIsKept) {
  std::vector<BranchDescription> branches;
  branches.push_back(Audio(ElementChoice::Make("avenc_wmav2")));
  const auto probe =
      ConvertAndProbe(Describe(test_support::Clip(test_support::FfmpegClip::BlipAvi),
                               std::move(branches), "avmux_asf", gst_test::OutputPath("blip.asf")));
  EXPECT_EQ(probe.CountOf("audio"), 1);
}

// Stereo encoders list mono first, and GStreamer's converter takes the first
// form: a 5.1 film came out mono. It comes down to stereo instead, and an
// encoder that takes 5.1 keeps it.
TEST_F(ConversionOutputs, SurroundSoundKeepsAllTheChannelsTheEncoderTakes) {
  struct Case {
    const char* encoder;
    const char* muxer;
    const char* output;
    int channels;
  };
  for (const Case& c :
       {Case{"lamemp3enc", "avimux", "down.avi", 2}, Case{"voaacenc", "mp4mux", "down.mp4", 2},
        Case{"vorbisenc", "matroskamux", "kept.mkv", 6}}) {
    SCOPED_TRACE(c.encoder);
    std::vector<BranchDescription> branches;
    branches.push_back(Audio(ElementChoice::Make(c.encoder)));
    const auto probe = ConvertAndProbe(Describe(Clip(ClipKind::Mp4Surround), std::move(branches),
                                                c.muxer, gst_test::OutputPath(c.output)));
    ASSERT_EQ(probe.CountOf("audio"), 1);
    EXPECT_EQ(probe.First("audio").channels, c.channels);
  }
}

// GStreamer reads raw sound in MOV without the places of its channels; the
// converter can then neither mix nor drop them. Six are placed as 5.1 is;
// sixteen have no usual places, and the run is refused at once instead of
// waiting for sound that never comes while the pictures fill their queues.
TEST_F(ConversionOutputs, ChannelsWithoutPlacesArePlacedOrRefused) {
  const auto branches = [] {
    std::vector<BranchDescription> both;
    both.push_back(Video(ElementChoice::Make("avenc_mpeg4")));
    both.push_back(Audio(ElementChoice::Make("lamemp3enc")));
    return both;
  };
  const auto probe =
      ConvertAndProbe(Describe(test_support::Clip(test_support::FfmpegClip::UnplacedSurroundMov),
                               branches(), "avimux", gst_test::OutputPath("placed.avi")));
  ASSERT_EQ(probe.CountOf("audio"), 1);
  EXPECT_EQ(probe.First("audio").channels, 2);
  EXPECT_NEAR(probe.duration, 2.0, 0.2);

  const std::string sixteen = gst_test::OutputPath("sixteen.avi");
  const auto refused =
      gst_test::Convert(Describe(test_support::Clip(test_support::FfmpegClip::SixteenChannelsMov),
                                 branches(), "avimux", sixteen));
  ASSERT_TRUE(refused.event) << refused.Describe();
  if (refused.Completed()) {
    // GStreamer 1.26's converter mixes unplaced channels down itself.
    const auto mixed = test_support::FfProbe(sixteen);
    ASSERT_EQ(mixed.CountOf("audio"), 1) << mixed.error;
    EXPECT_EQ(mixed.First("audio").channels, 2);
    EXPECT_EQ(test_support::DecodeErrors(sixteen), "");
  } else {
    EXPECT_EQ(refused.event->failure, gst::PipelineEvent::Failure::Negotiation)
        << refused.Describe();
  }
}

// A broadcast recording changes shape and sound midway (4:3 to 16:9, stereo
// to 5.1). The encoders keep what they started with, the converters adapt,
// and containers that cannot change a stream's format still get all of it.
TEST_F(ConversionOutputs, ABroadcastThatChangesShapeAndSoundMidwayConvertsWhole) {
  for (const auto& [audio, muxer, output] :
       {std::tuple{"vorbisenc", "matroskamux", "switching.mkv"},
        std::tuple{"avenc_aac", "mp4mux", "switching.mp4"}}) {
    SCOPED_TRACE(muxer);
    std::vector<BranchDescription> branches;
    branches.push_back(Video(ElementChoice::Make("x264enc")));
    branches.push_back(Audio(ElementChoice::Make(audio)));
    const auto probe =
        ConvertAndProbe(Describe(test_support::Clip(test_support::FfmpegClip::SwitchingBroadcastTs),
                                 std::move(branches), muxer, gst_test::OutputPath(output)));
    EXPECT_NEAR(probe.duration, 4.0, 0.25);
    ASSERT_EQ(probe.CountOf("audio"), 1);
    EXPECT_EQ(probe.First("audio").channels, 2);
    ASSERT_EQ(probe.CountOf("video"), 1);
    EXPECT_EQ(probe.First("video").displayAspect, "4:3");
  }
}

TEST_F(ConversionOutputs, WindowsMediaAudioGetsARateAndChannelsItCanEncode) {
  // 96 kHz and 5.1 are more than the encoder opens with; nothing asked, so
  // the branch brings them down to what it takes.
  for (const auto& [kind, rate] :
       {std::pair{ClipKind::Mp4Audio96k, 48000}, std::pair{ClipKind::Mp4Surround, 48000}}) {
    std::vector<BranchDescription> branches;
    branches.push_back(Video(ElementChoice::Make("avenc_wmv2")));
    branches.push_back(Audio(ElementChoice::Make("avenc_wmav2")));
    const auto probe = ConvertAndProbe(
        Describe(Clip(kind), std::move(branches), "avmux_asf", gst_test::OutputPath("down.asf")));
    ASSERT_EQ(probe.CountOf("audio"), 1);
    EXPECT_EQ(probe.First("audio").sampleRate, rate);
    EXPECT_EQ(probe.First("audio").channels, 2);
  }
}

// The id discovery gives the second audio track of the file, as read by
// another address than the run's (its first part names the address).
std::string SecondAudioTrackIdElsewhere(const std::string& path) {
  gst::DiscovererPtr discoverer(gst_discoverer_new(10 * GST_SECOND, nullptr));
  const gst::CharPtr uri(gst_filename_to_uri(path.c_str(), nullptr));
  const gst::DiscovererInfoPtr info(
      gst_discoverer_discover_uri(discoverer.get(), uri.get(), nullptr));
  if (!info) return {};
  GList* audios = gst_discoverer_info_get_audio_streams(info.get());
  const gchar* id = g_list_length(audios) == 2
                        ? gst_discoverer_stream_info_get_stream_id(
                              GST_DISCOVERER_STREAM_INFO(g_list_nth_data(audios, 1)))
                        : nullptr;
  const std::string found = id ? id : "";
  gst_discoverer_stream_info_list_free(audios);
  return "elsewhere" + found.substr(found.find('/'));
}

TEST_F(ConversionOutputs, TheDescribedAudioTrackIsTakenAndTheOtherDrained) {
  // The tracks differ in rate and channels; raw audio keeps them visible.
  // A stream id names the track whatever the order of the decoded pads.
  const std::string second = SecondAudioTrackIdElsewhere(gst_test::TwoAudioTracksClip());
  ASSERT_NE(second, "elsewhere");
  for (const auto& [index, id, rate, channels] :
       {std::tuple{0, std::string(), 44100, 2}, std::tuple{1, std::string(), 48000, 1},
        std::tuple{0, second, 48000, 1}}) {
    std::vector<BranchDescription> branches;
    branches.push_back(Video(ElementChoice::Make("x264enc")));
    branches.push_back(Audio(std::nullopt, index));
    branches.back().streamId = id;
    const auto probe = ConvertAndProbe(Describe(gst_test::TwoAudioTracksClip(), std::move(branches),
                                                "matroskamux", gst_test::OutputPath("track.mkv")));
    ASSERT_EQ(probe.CountOf("audio"), 1) << "track " << index;
    EXPECT_EQ(probe.First("audio").sampleRate, rate) << "track " << index;
    EXPECT_EQ(probe.First("audio").channels, channels) << "track " << index;
    EXPECT_NEAR(probe.duration, 2.0, 0.2);
  }
}

TEST_F(ConversionOutputs, WithoutAMuxerNothingIsWrittenAndTheRunCompletes) {
  PipelineDescription description;
  description.sourcePath = Clip(ClipKind::Mp4H264Aac);
  description.branches.push_back(Video(ElementChoice::Make("avenc_mpeg4")));
  description.branches.push_back(Audio(std::nullopt));
  const std::string output = gst_test::OutputPath("never.avi");
  description.outputPath = output;
  const auto outcome = gst_test::Convert(std::move(description));
  EXPECT_TRUE(outcome.Completed()) << outcome.Describe();
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
