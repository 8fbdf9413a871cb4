#include "platform/gst/formats/raw_audio_format.h"

#include <gtest/gtest.h>

#include "platform/gst/gst_handle.h"
#include "tests/platform/gst/conversion_test_support.h"

namespace {

// The sink pad of a new encoder of that factory, as a branch asks it before
// the stream is linked.
gst::PadPtr SinkOf(const char* factory, gst::ElementPtr& keep) {
  keep =
      gst::ElementPtr(GST_ELEMENT(gst_object_ref_sink(gst_element_factory_make(factory, nullptr))));
  return gst::PadPtr(gst_element_get_static_pad(keep.get(), "sink"));
}

class RawAudioFormat : public ::testing::Test {
 protected:
  void SetUp() override { gst_test::InitGst(); }
};

// A stereo encoder lists mono first; Opus takes 48 kHz and 24 kHz but not
// 44.1. What the source has is kept wherever the encoder takes it.
TEST_F(RawAudioFormat, AsksForWhatTheEncoderTakesClosestToTheSource) {
  gst::ElementPtr lame;
  const gst::PadPtr mp3 = SinkOf("lamemp3enc", lame);
  EXPECT_EQ(gst::RawSoundChannels(mp3.get(), 6), 2) << "5.1 comes down to stereo, not mono";
  EXPECT_EQ(gst::RawSoundChannels(mp3.get(), 1), 1);
  EXPECT_EQ(gst::RawSoundRate(mp3.get(), 96000), 48000);
  EXPECT_EQ(gst::RawSoundRate(mp3.get(), 44100), 44100);

  gst::ElementPtr opus;
  const gst::PadPtr toOpus = SinkOf("opusenc", opus);
  EXPECT_EQ(gst::RawSoundRate(toOpus.get(), 44100), 48000) << "the nearer rate, not the lower";
  EXPECT_EQ(gst::RawSoundRate(toOpus.get(), 22050), 24000);
  EXPECT_EQ(gst::RawSoundChannels(toOpus.get(), 6), 6);

  EXPECT_EQ(gst::RawSoundChannels(nullptr, 6), 6) << "no encoder: the source's";
  EXPECT_EQ(gst::RawSoundRate(toOpus.get(), 0), 0) << "nothing known, nothing asked";
}

// Raw PCM in MOV comes without the places of its channels.
TEST_F(RawAudioFormat, PlacesChannelsThatHaveUsualPlacesOnly) {
  const auto placed = [](const char* caps) {
    const gst::CapsPtr given(gst_caps_from_string(caps));
    const gst::CapsPtr result = gst::WithUsualPlaces(given.get());
    guint64 mask = 0;
    if (result)
      gst_structure_get(gst_caps_get_structure(result.get(), 0), "channel-mask", GST_TYPE_BITMASK,
                        &mask, nullptr);
    return mask;
  };
  EXPECT_EQ(placed("audio/x-raw, channels=6, channel-mask=(bitmask)0x0"), 0x3fU);
  EXPECT_EQ(placed("audio/x-raw, channels=6, channel-mask=(bitmask)0x60f"), 0U)
      << "places the file gives are kept";
  EXPECT_EQ(placed("audio/x-raw, channels=2"), 0U);
  EXPECT_EQ(placed("audio/x-raw, channels=16, channel-mask=(bitmask)0x0"), 0U)
      << "sixteen channels have no usual places";
}

}  // namespace
