// Discovery of a file whose pictures are slow or costly to decode.

#include "platform/dshow/media_discovery.h"

#include <gst/gst.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <future>

#include "platform/dshow/discovery_attempt.h"
#include "platform/gst/gst_handle.h"
#include "platform/threads/thread_order.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/test_environment.h"

namespace {

// A video "decoder" of the caps its class is made for, giving 16x16 grey
// pictures. A slow one holds its first picture until the test lets it go, as
// a 4K key frame on a busy machine takes its time.
struct TestDecoder {
  GstElement element;
  GstPad* sink;
  GstPad* src;
  gboolean started;
};
struct DecoderTraits {
  GstStaticPadTemplate* sink;
  bool slow;
};
struct TestDecoderClass {
  GstElementClass parent;
  const DecoderTraits* traits;
};

// The first picture's moments: the slow decoder has it; the test lets it go.
// Once per process: one test uses them.
struct FirstPicture {
  std::promise<void> held;
  std::promise<void> released;
} firstPicture;

// How many test decoders were made.
std::atomic<int> decodersMade{0};

constexpr int kSide = 16;

GstStaticPadTemplate vp8Template =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-vp8"));
GstStaticPadTemplate h264Template =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-h264"));
GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                            GST_STATIC_CAPS("video/x-raw, format=I420, width=16, height=16, "
                                            "framerate=25/1, pixel-aspect-ratio=1/1"));

// VP8 has no parser: discovery decodes it. H.264 has one.
const DecoderTraits kSlowVp8{&vp8Template, true};
const DecoderTraits kH264{&h264Template, false};

TestDecoder* Self(GstObject* parent) { return reinterpret_cast<TestDecoder*>(parent); }

GstFlowReturn Decode(GstPad*, GstObject* parent, GstBuffer* coded) {
  const threads::StateVisit shown(parent);
  TestDecoder* self = Self(parent);
  const auto* klass = reinterpret_cast<TestDecoderClass*>(G_OBJECT_GET_CLASS(parent));
  if (klass->traits->slow && !self->started) {
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

void InitTestDecoder(GTypeInstance* instance, gpointer klass) {
  auto* self = reinterpret_cast<TestDecoder*>(instance);
  const DecoderTraits* traits = static_cast<TestDecoderClass*>(klass)->traits;
  self->sink = gst_pad_new_from_static_template(traits->sink, "sink");
  gst_pad_set_chain_function(self->sink, Decode);
  gst_pad_set_event_function(self->sink, TakeEvent);
  gst_element_add_pad(&self->element, self->sink);
  self->src = gst_pad_new_from_static_template(&srcTemplate, "src");
  gst_pad_use_fixed_caps(self->src);
  gst_element_add_pad(&self->element, self->src);
  threads::ReleaseState(self);  // for the streaming threads
  ++decodersMade;
}

void InitTestDecoderClass(gpointer klass, gpointer data) {
  auto* decoder = static_cast<TestDecoderClass*>(klass);
  decoder->traits = static_cast<const DecoderTraits*>(data);
  auto* element = GST_ELEMENT_CLASS(klass);
  gst_element_class_add_static_pad_template(element, decoder->traits->sink);
  gst_element_class_add_static_pad_template(element, &srcTemplate);
  gst_element_class_set_static_metadata(element, "Test video decoder", "Codec/Decoder/Video",
                                        "Grey pictures, the first one held if slow",
                                        "Reelcast tests");
}

// Puts a test decoder ahead of every installed decoder of its caps while it
// lives, and out of use again after.
class TestDecoderInstalled {
 public:
  TestDecoderInstalled(const char* name, const DecoderTraits& traits) {
    test_support::InitialisePlatform();
    const std::string typeName = std::string("ReelcastTestDecoder_") + name;
    GType type = g_type_from_name(typeName.c_str());
    if (type == 0) {
      const GTypeInfo info{sizeof(TestDecoderClass),
                           nullptr,
                           nullptr,
                           InitTestDecoderClass,
                           nullptr,
                           &traits,
                           sizeof(TestDecoder),
                           0,
                           InitTestDecoder,
                           nullptr};
      type = g_type_register_static(GST_TYPE_ELEMENT, typeName.c_str(), &info, GTypeFlags{});
    }
    gst_element_register(nullptr, name, GST_RANK_PRIMARY + 100, type);
    factory_ = gst::ElementFactoryPtr(gst_element_factory_find(name));
    gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(factory_.get()), GST_RANK_PRIMARY + 100);
  }
  ~TestDecoderInstalled() {
    if (factory_) gst_plugin_feature_set_rank(GST_PLUGIN_FEATURE(factory_.get()), GST_RANK_NONE);
  }
  TestDecoderInstalled(const TestDecoderInstalled&) = delete;
  TestDecoderInstalled& operator=(const TestDecoderInstalled&) = delete;

 private:
  gst::ElementFactoryPtr factory_;
};

TEST(DiscoveryAttempt, OneThatReachedItsStreamsIsNotCutShortWhileItsFirstPictureDecodes) {
  const TestDecoderInstalled slow("reelcastslowvp8decoder", kSlowVp8);
  // The patience runs out while the decoder holds the first picture, and the
  // picture is let go once the watch has made up its mind.
  dshow::Patience patience;
  patience.wait = [](const std::function<void()>& timeUp) {
    firstPicture.held.get_future().wait();
    timeUp();
    firstPicture.released.set_value();
  };

  const dshow::DiscoveryAttempt attempt =
      dshow::AttemptDiscovery("file://" + test_support::Clip(test_support::ClipKind::MkvVp8Vorbis),
                              std::chrono::seconds(20), std::move(patience));

  EXPECT_FALSE(attempt.timedOut);
  ASSERT_TRUE(attempt.info);
  EXPECT_EQ(gst_discoverer_info_get_result(attempt.info.get()), GST_DISCOVERER_OK);
  EXPECT_FALSE(attempt.error);
}

// A parsed stream's caps tell its frame size and rate; decoding its first
// pictures (three or more, when frames are reordered) only cost time.
TEST(DiscoverFile, LearnsAParsedVideoWithoutDecodingIt) {
  const TestDecoderInstalled decoder("reelcasttesth264decoder", kH264);
  const int madeBefore = decodersMade;

  // A copy of its own: the last file discovered in this process is kept.
  const std::filesystem::path copy = std::filesystem::temp_directory_path() /
                                     ("reelcast-parsed-" + std::to_string(getpid()) + ".mp4");
  std::filesystem::copy_file(test_support::Clip(test_support::ClipKind::Mp4VideoOnly), copy,
                             std::filesystem::copy_options::overwrite_existing);
  const dshow::Discovery found = dshow::DiscoverFile(copy.string());
  std::filesystem::remove(copy);

  EXPECT_EQ(decodersMade, madeBefore);
  ASSERT_EQ(found.result, S_OK);
  ASSERT_EQ(found.streams.size(), 1u);
  const test_support::ClipFacts facts = test_support::FactsOf(test_support::ClipKind::Mp4VideoOnly);
  const dshow::StreamInfo& video = found.streams.front();
  EXPECT_EQ(video.width, facts.width);
  EXPECT_EQ(video.height, facts.height);
  EXPECT_EQ(video.frameRateNumerator * facts.frameRateDenominator,
            facts.frameRateNumerator * video.frameRateDenominator);
  EXPECT_EQ(video.decoder, "Test video decoder") << "the decoder a run will use";
  ASSERT_TRUE(found.duration);
  EXPECT_NEAR(static_cast<double>(*found.duration) / 1e7, facts.seconds, 0.1);
}

}  // namespace
