// Discovery of a file whose first picture takes long to decode.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <future>

#include "platform/dshow/discovery_attempt.h"
#include "platform/gst/gst_handle.h"
#include "platform/threads/thread_order.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/test_environment.h"

namespace {

// An H.264 "decoder" that holds its first picture until the test lets it
// go, as a 4K key frame on a busy machine takes its time, and gives 16x16
// grey pictures.
struct SlowDecoder {
  GstElement element;
  GstPad* sink;
  GstPad* src;
  gboolean started;
};
struct SlowDecoderClass {
  GstElementClass parent;
};

// The first picture's moments: the decoder has it; the test lets it go.
// Once per process: the test below is its only user.
struct FirstPicture {
  std::promise<void> held;
  std::promise<void> released;
} firstPicture;

constexpr int kSide = 16;

GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-h264"));
GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                            GST_STATIC_CAPS("video/x-raw, format=I420, width=16, height=16, "
                                            "framerate=25/1, pixel-aspect-ratio=1/1"));

SlowDecoder* Self(GstObject* parent) { return reinterpret_cast<SlowDecoder*>(parent); }

GstFlowReturn DecodeSlowly(GstPad*, GstObject* parent, GstBuffer* coded) {
  const threads::StateVisit shown(parent);
  SlowDecoder* self = Self(parent);
  if (!self->started) {
    self->started = TRUE;
    firstPicture.held.set_value();
    firstPicture.released.get_future().wait();
  }
  const gsize size = kSide * kSide * 3 / 2;
  GstBuffer* picture = gst_buffer_new_allocate(nullptr, size, nullptr);
  gst_buffer_memset(picture, 0, 0x80, size);
  GST_BUFFER_PTS(picture) = GST_BUFFER_PTS(coded);
  GST_BUFFER_DURATION(picture) = GST_BUFFER_DURATION(coded);
  gst_buffer_unref(coded);
  return gst_pad_push(self->src, picture);
}

gboolean TakeEvent(GstPad* pad, GstObject* parent, GstEvent* event) {
  if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS) return gst_pad_event_default(pad, parent, event);
  const threads::StateVisit shown(parent);
  gst_event_unref(event);
  const gst::CapsPtr raw(gst_static_pad_template_get_caps(&srcTemplate));
  return gst_pad_push_event(Self(parent)->src, gst_event_new_caps(raw.get()));
}

void InitSlowDecoder(GTypeInstance* instance, gpointer) {
  auto* self = reinterpret_cast<SlowDecoder*>(instance);
  self->sink = gst_pad_new_from_static_template(&sinkTemplate, "sink");
  gst_pad_set_chain_function(self->sink, DecodeSlowly);
  gst_pad_set_event_function(self->sink, TakeEvent);
  gst_element_add_pad(&self->element, self->sink);
  self->src = gst_pad_new_from_static_template(&srcTemplate, "src");
  gst_pad_use_fixed_caps(self->src);
  gst_element_add_pad(&self->element, self->src);
  threads::ReleaseState(self);  // for the streaming threads
}

void InitSlowDecoderClass(gpointer klass, gpointer) {
  auto* element = GST_ELEMENT_CLASS(klass);
  gst_element_class_add_static_pad_template(element, &sinkTemplate);
  gst_element_class_add_static_pad_template(element, &srcTemplate);
  gst_element_class_set_static_metadata(element, "Slow H.264 decoder", "Codec/Decoder/Video",
                                        "Holds its first picture until let go", "Reelcast tests");
}

// Puts the slow decoder ahead of every installed H.264 decoder while it
// lives, and out of use again after.
class SlowDecoderInstalled {
 public:
  SlowDecoderInstalled() {
    test_support::InitialisePlatform();
    static const GType type = g_type_register_static_simple(
        GST_TYPE_ELEMENT, "ReelcastSlowDecoder", sizeof(SlowDecoderClass), InitSlowDecoderClass,
        sizeof(SlowDecoder), InitSlowDecoder, GTypeFlags{});
    gst_element_register(nullptr, "reelcastslowdecoder", GST_RANK_PRIMARY + 100, type);
    factory_ = gst::ElementFactoryPtr(gst_element_factory_find("reelcastslowdecoder"));
    gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(factory_.get()), GST_RANK_PRIMARY + 100);
  }
  ~SlowDecoderInstalled() {
    if (factory_) gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(factory_.get()), GST_RANK_NONE);
  }
  SlowDecoderInstalled(const SlowDecoderInstalled&) = delete;
  SlowDecoderInstalled& operator=(const SlowDecoderInstalled&) = delete;

 private:
  gst::ElementFactoryPtr factory_;
};

TEST(DiscoveryAttempt, OneThatReachedItsStreamsIsNotCutShortWhileItsFirstPictureDecodes) {
  const SlowDecoderInstalled slow;
  // The patience runs out while the decoder holds the first picture, and the
  // picture is let go once the watch has made up its mind.
  dshow::Patience patience;
  patience.wait = [](const std::function<void()>& timeUp) {
    firstPicture.held.get_future().wait();
    timeUp();
    firstPicture.released.set_value();
  };

  const dshow::DiscoveryAttempt attempt =
      dshow::AttemptDiscovery("file://" + test_support::Clip(test_support::ClipKind::Mp4VideoOnly),
                              std::chrono::seconds(20), std::move(patience));

  EXPECT_FALSE(attempt.timedOut);
  ASSERT_TRUE(attempt.info);
  EXPECT_EQ(gst_discoverer_info_get_result(attempt.info.get()), GST_DISCOVERER_OK);
  EXPECT_FALSE(attempt.error);
}

}  // namespace
