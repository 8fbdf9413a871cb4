// The generated clips are what they claim to be, judged by ffprobe and
// ffmpeg rather than by the code under test.

#include "tests/support/media_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/ffprobe.h"

namespace {

using test_support::Clip;
using test_support::ClipKind;

TEST(MediaFixtures, ClipsHoldTheStreamsTheyWereMadeWith) {
  for (ClipKind kind : {ClipKind::Mp4H264Aac, ClipKind::AviMpeg4Mp3, ClipKind::MkvVp8Vorbis,
                        ClipKind::Mp4Film, ClipKind::AviOddWidth, ClipKind::Mp4Audio96k,
                        ClipKind::Mp4Surround, ClipKind::MkvTwoAudioTracks, ClipKind::Mp4AudioOnly,
                        ClipKind::Mp4VideoOnly, ClipKind::OddName}) {
    const auto facts = test_support::FactsOf(kind);
    const auto report = test_support::FfProbe(Clip(kind));
    ASSERT_TRUE(report.ok) << Clip(kind) << report.error;
    EXPECT_EQ(report.CountOf("video"), facts.videoTracks) << Clip(kind);
    EXPECT_EQ(report.CountOf("audio"), facts.audioTracks) << Clip(kind);
    EXPECT_NEAR(report.duration, facts.seconds, 0.05) << Clip(kind);
    if (facts.videoTracks > 0) {
      const auto video = report.First("video");
      EXPECT_EQ(video.width, facts.width);
      EXPECT_EQ(video.height, facts.height);
      EXPECT_NEAR(video.frameRate,
                  static_cast<double>(facts.frameRateNumerator) / facts.frameRateDenominator, 1e-3);
    }
    if (facts.audioTracks > 0) {
      EXPECT_EQ(report.First("audio").sampleRate, facts.sampleRate);
      EXPECT_EQ(report.First("audio").channels, facts.channels);
    }
    EXPECT_EQ(test_support::DecodeErrors(Clip(kind)), "") << Clip(kind);
  }
}

TEST(MediaFixtures, BrokenClipsAreBroken) {
  for (ClipKind kind : {ClipKind::TextNamedMp4, ClipKind::EmptyMp4, ClipKind::TruncatedMp4}) {
    EXPECT_FALSE(test_support::FfProbe(Clip(kind)).ok) << Clip(kind);
    EXPECT_NE(test_support::DecodeErrors(Clip(kind)), "") << Clip(kind);
  }
  const auto variable = test_support::FfProbe(Clip(ClipKind::MkvVariableRate));
  ASSERT_TRUE(variable.ok);
  EXPECT_EQ(variable.First("video").frameRate, 0) << "no average rate is declared";
}

}  // namespace
