#include "platform/gst/pipeline/video_decoders.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/gst/gst_handle.h"
#include "tests/platform/gst/conversion_test_support.h"
#include "tests/support/gst_test_media.h"

namespace {

// How many elements inside the bin, at any depth, may lend their pictures,
// how many of them still do, and how many decode on one thread.
struct Lenders {
  int found = 0;
  int lending = 0;
  int oneThread = 0;
};

Lenders CountLenders(GstBin* bin) {
  Lenders lenders;
  const gst::IteratorPtr elements(gst_bin_iterate_recurse(bin));
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(elements.get(), &item) == GST_ITERATOR_OK) {
    GObject* element = G_OBJECT(g_value_get_object(&item));
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), "direct-rendering")) {
      gboolean lending = FALSE;
      g_object_get(element, "direct-rendering", &lending, nullptr);
      ++lenders.found;
      if (lending) ++lenders.lending;
      int threads = -1;
      g_object_get(element, "max-threads", &threads, nullptr);
      if (threads == 1) ++lenders.oneThread;
    }
    g_value_reset(&item);
  }
  g_value_unset(&item);
  return lenders;
}

TEST(VideoDecoders, TheDecodersADecodingBinPlugsInCopyTheirPicturesOnTheThreadsTheySuit) {
  gst_test::InitGst();
  const std::string description =
      "filesrc location=\"" + gst_test::BusyClip() +
      "\" ! decodebin name=d d. ! queue ! fakesink d. ! queue ! fakesink";
  GError* error = nullptr;
  GstElement* parsed = gst_parse_launch(description.c_str(), &error);
  const gst::ErrorPtr failure(error);
  ASSERT_TRUE(parsed) << (error ? error->message : "");
  const gst::ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(parsed)));
  const gst::ElementPtr decoder(gst_bin_get_by_name(GST_BIN(pipeline.get()), "d"));
  gst::SetUpVideoDecoders(decoder.get());

  // The decoders are plugged in while the pipeline prerolls.
  const GstStateChangeReturn started = gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
  const GstStateChangeReturn prerolled =
      gst_element_get_state(pipeline.get(), nullptr, nullptr, GST_CLOCK_TIME_NONE);
  const Lenders lenders = CountLenders(GST_BIN(decoder.get()));
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  ASSERT_NE(started, GST_STATE_CHANGE_FAILURE);
  ASSERT_EQ(prerolled, GST_STATE_CHANGE_SUCCESS);
  EXPECT_EQ(lenders.found, 1) << "the clip's H.264 decoder";
  EXPECT_EQ(lenders.lending, 0);
  EXPECT_EQ(lenders.oneThread, 1) << "320x240 at 25 frames a second is decoded on one thread";
}

TEST(VideoDecoders, OneThreadDecodesUpTo1080pAt30FramesASecond) {
  EXPECT_EQ(gst::DecoderThreadsFor(640, 360, 30), 1);
  EXPECT_EQ(gst::DecoderThreadsFor(1920, 1080, 30000.0 / 1001), 1);
  EXPECT_EQ(gst::DecoderThreadsFor(1920, 1080, 30), 1);
  EXPECT_EQ(gst::DecoderThreadsFor(1920, 1080, 0), 1) << "no declared rate counts as 30";
  EXPECT_EQ(gst::DecoderThreadsFor(1920, 1080, 60), 0);
  EXPECT_EQ(gst::DecoderThreadsFor(2560, 1440, 30), 0);
  EXPECT_EQ(gst::DecoderThreadsFor(3840, 2160, 24), 0);
  EXPECT_EQ(gst::DecoderThreadsFor(0, 0, 30), 0) << "an unknown size keeps libav's choice";
}

}  // namespace
