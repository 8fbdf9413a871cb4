#include "platform/gst/branch.h"

#include <algorithm>
#include <string_view>

#include "platform/gst/audio_continuity.h"
#include "platform/gst/element_maker.h"
#include "platform/gst/encoder_limits.h"
#include "platform/gst/encoder_timestamps.h"
#include "platform/gst/interlace_support.h"
#include "platform/gst/libav_video_encoder.h"
#include "platform/gst/running_time.h"

namespace gst {

namespace {

// Adds the elements to the bin and links them in order.
bool AddAndLink(GstBin* bin, const std::vector<GstElement*>& chain, std::string& error) {
  for (GstElement* element : chain) gst_bin_add(bin, element);
  for (std::size_t i = 1; i < chain.size(); ++i) {
    if (!gst_element_link(chain[i - 1], chain[i])) {
      error = std::string("\"") + GST_ELEMENT_NAME(chain[i - 1]) + "\" cannot feed \"" +
              GST_ELEMENT_NAME(chain[i]) + "\".";
      return false;
    }
  }
  return true;
}

// A stream id is the source's id, then the stream's place in the file
// ("<hash of the address>/1/00000101"). Discovery may have read the file by
// another address than the run, so the place alone tells a stream.
std::string_view PlaceInFile(std::string_view id) {
  const auto slash = id.find('/');
  return slash == std::string_view::npos ? id : id.substr(slash);
}

// Every queue of a branch holds at most this much, whichever comes first,
// and never a count of buffers: a count holds more the larger the frames.
// A frame larger than the bytes still passes, one at a time.
constexpr guint kQueueBytes = 4 * 1024 * 1024;
constexpr guint64 kQueueTime = GST_SECOND;

ElementPtr MakeQueue(std::string& error) {
  ElementPtr queue = MakeElement("queue", error);
  if (queue)
    g_object_set(queue.get(), "max-size-buffers", guint{0}, "max-size-bytes", kQueueBytes,
                 "max-size-time", kQueueTime, nullptr);
  return queue;
}

int Clamped(int wanted, int source, int limit) {
  const int value = wanted > 0 ? wanted : (limit > 0 && source > limit ? limit : 0);
  return limit > 0 && value > limit ? limit : value;
}

}  // namespace

Branch::Branch(BranchDescription description) : description_(std::move(description)) {
  gst_segment_init(&segment_, GST_FORMAT_TIME);
}

Branch::~Branch() = default;

bool Branch::Build(GstBin* pipeline, GstElement* muxer, std::string& error) {
  head_ = MakeQueue(error);
  filter_ = MakeElement("capsfilter", error);
  if (!head_ || !filter_) return false;
  if (description_.encoder) {
    encoder_ = MakeElement(*description_.encoder, error);
    if (!encoder_) return false;
    encoderName_ = description_.encoder->FactoryName();
  }
  const bool built = description_.kind == StreamKind::Video ? BuildVideo(pipeline, error)
                                                            : BuildAudio(pipeline, muxer, error);
  return built && Finish(pipeline, muxer, error);
}

bool Branch::BuildVideo(GstBin* pipeline, std::string& error) {
  ElementPtr convert = MakeElement("videoconvert", error);
  ElementPtr scale = MakeElement("videoscale", error);
  ElementPtr rate = MakeElement("videorate", error);
  if (!convert || !scale || !rate) return false;
  std::vector<GstElement*> chain{head_.get(), convert.get()};
  if (encoder_) {
    // Passes pictures through until Attach finds that the encoder needs
    // progressive ones; one picture per frame, so the rate stays the source's.
    deinterlace_ = MakeElement("deinterlace", error);
    if (!deinterlace_) return false;
    gst_util_set_object_arg(G_OBJECT(deinterlace_.get()), "mode", "disabled");
    gst_util_set_object_arg(G_OBJECT(deinterlace_.get()), "fields", "top");
    chain.push_back(deinterlace_.get());
  }
  chain.insert(chain.end(), {scale.get(), rate.get(), filter_.get()});
  return AddAndLink(pipeline, chain, error);
}

bool Branch::BuildAudio(GstBin* pipeline, GstElement* muxer, std::string& error) {
  ElementPtr convert = MakeElement("audioconvert", error);
  ElementPtr resample = MakeElement("audioresample", error);
  if (!convert || !resample) return false;
  std::vector<GstElement*> chain{head_.get(), convert.get(), resample.get()};
  // A file that plays every stream from its start keeps a late start of the
  // sound as silence (the picture's videorate does the same for pictures).
  ElementPtr fill;
  if (muxer && StartsEveryStreamAtZero(muxer)) {
    fill = MakeElement("audiorate", error);
    if (!fill) return false;
    chain.push_back(fill.get());
  }
  chain.push_back(filter_.get());
  if (!AddAndLink(pipeline, chain, error)) return false;
  PadPtr raw(gst_element_get_static_pad(filter_.get(), "src"));
  probes_.push_back(KeepAudioInOrder(raw.get()));
  return true;
}

bool Branch::Finish(GstBin* pipeline, GstElement* muxer, std::string& error) {
  GstElement* tail = filter_.get();
  bool repairedTimestamps = false;
  if (encoder_) {
    std::vector<GstElement*> chain{filter_.get(), encoder_.get()};
    // Fixed at Attach, when the raw stream is known (libav_video_encoder.h).
    if (IsLibavVideoEncoder(encoder_.get())) {
      encoded_ = MakeElement("capsfilter", error);
      if (!encoded_) return false;
      chain.push_back(encoded_.get());
    }
    for (std::size_t i = 1; i < chain.size(); ++i) gst_bin_add(pipeline, chain[i]);
    for (std::size_t i = 1; i < chain.size(); ++i) {
      if (!gst_element_link(chain[i - 1], chain[i])) {
        error = "The encoder \"" + encoderName_ + "\" cannot take this raw stream.";
        return false;
      }
    }
    // A repaired encoder's output is in running time already.
    std::vector<PadProbe> repairs = RepairEncoderTimestamps(encoder_.get());
    repairedTimestamps = !repairs.empty();
    for (PadProbe& probe : repairs) probes_.push_back(std::move(probe));
    tail = chain.back();
  }

  PadPtr tailPad(gst_element_get_static_pad(tail, "src"));
  // Streams whose encoder left them in their own segment join the others
  // in running time, the one origin the muxer then sees for all of them.
  if (muxer && !repairedTimestamps && WritesTimestampsAsGiven(muxer))
    probes_.push_back(RestampToRunningTime(tailPad.get()));
  if (muxer) {
    // What the tail will carry: the encoder's output, or raw media. (Its
    // pad cannot tell yet: nothing upstream is linked.)
    const PadPtr encoded(encoder_ ? gst_element_get_static_pad(encoder_.get(), "src") : nullptr);
    const CapsPtr carried(encoder_ ? gst_pad_get_pad_template_caps(encoded.get())
                                   : gst_caps_new_empty_simple(
                                         description_.kind == StreamKind::Video ? "video/x-raw"
                                                                                : "audio/x-raw"));
    // The muxer and the file writer get a thread of their own beside the
    // encoder's, as a queue in front of a muxer gives them.
    ElementPtr feed = MakeQueue(error);
    if (!feed) return false;
    gst_bin_add(pipeline, feed.get());
    if (!gst_element_link(tail, feed.get())) {
      error = "The stream cannot be queued for the container.";
      return false;
    }
    tailPad = PadPtr(gst_element_get_static_pad(feed.get(), "src"));
    muxerPad_ = PadPtr(gst_element_get_compatible_pad(muxer, tailPad.get(), carried.get()));
    if (!muxerPad_) {
      error = "The container cannot take the " +
              std::string(description_.kind == StreamKind::Video ? "video" : "audio") +
              (encoderName_.empty() ? " stream raw." : " stream of \"" + encoderName_ + "\".");
      return false;
    }
    muxer_ = Borrow(muxer);
  } else {
    ElementPtr sink = MakeElement("fakesink", error);
    if (!sink) return false;
    g_object_set(sink.get(), "sync", FALSE, nullptr);
    gst_bin_add(pipeline, sink.get());
    muxerPad_ = PadPtr(gst_element_get_static_pad(sink.get(), "sink"));
  }
  if (GST_PAD_LINK_FAILED(gst_pad_link(tailPad.get(), muxerPad_.get()))) {
    error = "The stream cannot be linked into the container.";
    return false;
  }

  PadPtr entry(gst_element_get_static_pad(head_.get(), "sink"));
  probes_.emplace_back(
      entry.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
      [](GstPad*, GstPadProbeInfo* info, gpointer data) {
        auto& self = *static_cast<Branch*>(data);
        if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
          GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
          GstClockTime time = GST_BUFFER_PTS(buffer);
          if (GST_CLOCK_TIME_IS_VALID(time) && GST_BUFFER_DURATION_IS_VALID(buffer))
            time += GST_BUFFER_DURATION(buffer);
          const GstClockTime running =
              gst_segment_to_running_time(&self.segment_, GST_FORMAT_TIME, time);
          if (GST_CLOCK_TIME_IS_VALID(running))
            self.position_.store(std::max<std::int64_t>(self.position_.load(),
                                                        static_cast<std::int64_t>(running)));
        } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_SEGMENT) {
          const GstSegment* segment = nullptr;
          gst_event_parse_segment(GST_PAD_PROBE_INFO_EVENT(info), &segment);
          gst_segment_copy_into(segment, &self.segment_);
        }
        return GST_PAD_PROBE_OK;
      },
      this, nullptr);
  return true;
}

GstCaps* Branch::RawCaps(GstCaps* source) const {
  const GstStructure* from = gst_caps_get_structure(source, 0);
  const EncoderLimits limits = LimitsOf(encoderName_);
  if (description_.kind == StreamKind::Audio) {
    int rate = 0;
    int channels = 0;
    gst_structure_get_int(from, "rate", &rate);
    gst_structure_get_int(from, "channels", &channels);
    GstCaps* caps = gst_caps_new_empty_simple("audio/x-raw");
    if (const int r = Clamped(description_.audio.rate, rate, limits.maxRate); r > 0)
      gst_caps_set_simple(caps, "rate", G_TYPE_INT, r, nullptr);
    if (const int c = Clamped(description_.audio.channels, channels, limits.maxChannels); c > 0)
      gst_caps_set_simple(caps, "channels", G_TYPE_INT, c, nullptr);
    return caps;
  }

  const RawVideo& wanted = description_.video;
  int sourceWidth = 0;
  int sourceHeight = 0;
  gst_structure_get_int(from, "width", &sourceWidth);
  gst_structure_get_int(from, "height", &sourceHeight);
  int width = wanted.width > 0 ? wanted.width : sourceWidth;
  int height = wanted.height > 0 ? wanted.height : sourceHeight;
  if (limits.evenWidth && width > 1) width &= ~1;
  if (limits.evenHeight && height > 1) height &= ~1;

  GstCaps* caps = gst_caps_new_empty_simple("video/x-raw");
  if (!wanted.format.empty())
    gst_caps_set_simple(caps, "format", G_TYPE_STRING, wanted.format.c_str(), nullptr);
  if (width > 0 && height > 0) {
    gst_caps_set_simple(caps, "width", G_TYPE_INT, width, "height", G_TYPE_INT, height, nullptr);
    // A frame size of our choosing is in square pixels.
    if (wanted.width > 0 || wanted.height > 0 || width != sourceWidth || height != sourceHeight)
      gst_caps_set_simple(caps, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
  }
  if (wanted.framerateNum > 0 && wanted.framerateDen > 0)
    gst_caps_set_simple(caps, "framerate", GST_TYPE_FRACTION, wanted.framerateNum,
                        wanted.framerateDen, nullptr);
  return caps;
}

bool Branch::Takes(const gchar* streamId, int index) const {
  if (description_.streamId.empty() || !streamId) return description_.streamIndex == index;
  return PlaceInFile(description_.streamId) == PlaceInFile(streamId);
}

bool Branch::Attach(GstPad* decoded, GstCaps* caps) {
  // Interlaced pictures (DV, DVD, broadcast) are made progressive for an
  // encoder that refuses them; progressive ones still pass untouched.
  if (deinterlace_ && RefusesInterlacedInput(gst_element_get_factory(encoder_.get())))
    gst_util_set_object_arg(G_OBJECT(deinterlace_.get()), "mode", "auto");
  const CapsPtr raw(RawCaps(caps));
  g_object_set(filter_.get(), "caps", raw.get(), nullptr);
  if (encoded_ && gst_caps_get_size(caps) > 0) {
    // What the encoder will get: the source's stream with what the filter fixes.
    const CapsPtr received(gst_caps_copy_nth(caps, 0));
    gst_structure_foreach(
        gst_caps_get_structure(raw.get(), 0),
        [](GQuark field, const GValue* value, gpointer into) -> gboolean {
          gst_structure_id_set_value(static_cast<GstStructure*>(into), field, value);
          return TRUE;
        },
        gst_caps_get_structure(received.get(), 0));
    if (const CapsPtr fixed = RateControlCaps(encoder_.get(), received.get()))
      g_object_set(encoded_.get(), "caps", fixed.get(), nullptr);
  }
  PadPtr entry(gst_element_get_static_pad(head_.get(), "sink"));
  if (GST_PAD_LINK_FAILED(gst_pad_link(decoded, entry.get()))) return false;
  attached_.store(true);
  return true;
}

void Branch::End() {
  PadPtr entry(gst_element_get_static_pad(head_.get(), "sink"));
  gst_pad_send_event(entry.get(), gst_event_new_eos());
}

std::optional<std::int64_t> Branch::Position() const {
  const std::int64_t position = position_.load();
  if (position < 0) return std::nullopt;
  return position;
}

std::optional<std::int64_t> Branch::Duration() const {
  if (!attached_.load()) return std::nullopt;
  PadPtr entry(gst_element_get_static_pad(head_.get(), "sink"));
  gint64 duration = 0;
  if (!gst_pad_peer_query_duration(entry.get(), GST_FORMAT_TIME, &duration) || duration < 0)
    return std::nullopt;
  return duration;
}

void Branch::Release(GstBin* pipeline) {
  probes_.clear();
  GstPadTemplate* padTemplate = muxerPad_ ? GST_PAD_PAD_TEMPLATE(muxerPad_.get()) : nullptr;
  if (muxer_ && padTemplate && GST_PAD_TEMPLATE_PRESENCE(padTemplate) == GST_PAD_REQUEST)
    gst_element_release_request_pad(muxer_.get(), muxerPad_.get());
  muxerPad_.Reset();
  if (encoder_ && GST_OBJECT_PARENT(encoder_.get()) == GST_OBJECT(pipeline))
    gst_bin_remove(pipeline, encoder_.get());
}

}  // namespace gst
