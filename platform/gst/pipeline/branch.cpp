#include "platform/gst/pipeline/branch.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "platform/gst/element_maker.h"
#include "platform/gst/encoders/encoder_defaults.h"
#include "platform/gst/encoders/encoder_limits.h"
#include "platform/gst/encoders/interlace_support.h"
#include "platform/gst/encoders/libav_video_encoder.h"
#include "platform/gst/formats/raw_audio_format.h"
#include "platform/gst/formats/raw_video_formats.h"
#include "platform/gst/pipeline/audio_continuity.h"
#include "platform/gst/pipeline/picture_orientation.h"
#include "platform/gst/pipeline/running_time.h"
#include "platform/gst/workarounds/encoder/aligned_audio.h"
#include "platform/gst/workarounds/encoder/encoder_delay.h"
#include "platform/gst/workarounds/encoder/encoder_timestamps.h"
#include "platform/gst/workarounds/registry.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

// Takes the note of how to turn the pictures out of a tag event.
GstPadProbeReturn DropOrientation(GstPad*, GstPadProbeInfo* info, gpointer) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) != GST_EVENT_TAG) return GST_PAD_PROBE_OK;
  GstTagList* tags = nullptr;
  gst_event_parse_tag(event, &tags);
  if (gst_tag_list_get_tag_size(tags, GST_TAG_IMAGE_ORIENTATION) == 0) return GST_PAD_PROBE_OK;
  GstTagList* kept = gst_tag_list_copy(tags);
  gst_tag_list_remove_tag(kept, GST_TAG_IMAGE_ORIENTATION);
  gst_event_unref(event);
  GST_PAD_PROBE_INFO_DATA(info) = gst_event_new_tag(kept);
  return GST_PAD_PROBE_OK;
}

// Adds the elements to the bin and links them in order.
Result<void> AddAndLink(GstBin* bin, const std::vector<GstElement*>& chain) {
  for (GstElement* element : chain) gst_bin_add(bin, element);
  for (std::size_t i = 1; i < chain.size(); ++i)
    if (!gst_element_link(chain[i - 1], chain[i]))
      return Reason{std::string("\"") + GST_ELEMENT_NAME(chain[i - 1]) + "\" cannot feed \"" +
                    GST_ELEMENT_NAME(chain[i]) + "\"."};
  return {};
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

Result<ElementPtr> MakeQueue() {
  Result<ElementPtr> queue = MakeElement("queue");
  if (queue)
    g_object_set(queue->get(), "max-size-buffers", guint{0}, "max-size-bytes", kQueueBytes,
                 "max-size-time", kQueueTime, nullptr);
  return queue;
}

// Puts a made element into its place.
Result<void> Keep(Result<ElementPtr> made, ElementPtr& into) {
  if (!made) return made.reason();
  into = std::move(*made);
  return {};
}

// Makes each named element into its place; the first that cannot be made
// ends it.
Result<void> MakeAll(std::initializer_list<std::pair<const char*, ElementPtr*>> elements) {
  for (const auto& [factory, into] : elements)
    if (Result<void> made = Keep(MakeElement(factory), *into); !made) return made;
  return {};
}

int Clamped(int wanted, int source, int limit) {
  const int value = wanted > 0 ? wanted : (limit > 0 && source > limit ? limit : 0);
  return limit > 0 && value > limit ? limit : value;
}

// The pad the raw stream goes into: the encoder's, or the muxer's when it
// is written raw.
PadPtr TakerOf(GstElement* encoder, GstPad* muxerPad) {
  if (encoder) return PadPtr(gst_element_get_static_pad(encoder, "sink"));
  return muxerPad ? PadPtr(GST_PAD(gst_object_ref(muxerPad))) : PadPtr();
}

}  // namespace

Branch::Branch(BranchDescription description) : description_(std::move(description)) {
  gst_segment_init(&segment_, GST_FORMAT_TIME);
}

Branch::~Branch() = default;

Result<void> Branch::Build(GstBin* pipeline, GstElement* muxer) {
  if (Result<void> made = Keep(MakeQueue(), head_); !made) return made;
  if (description_.feed) return BuildFed(pipeline, muxer);
  // The stream goes on in running time, in one segment from zero. The rate
  // elements fill from a segment's start: a Matroska demuxer that moves its
  // start once the first sound arrives would have pictures repeated there,
  // and a sound that an MP4 edit list delays through its segment's base
  // would start at once.
  const PadPtr entered(gst_element_get_static_pad(head_.get(), "src"));
  probes_.push_back(RestampToRunningTime(entered.get()));
  if (description_.kind == StreamKind::Audio)
    probes_.push_back(PlaceUnplacedChannels(entered.get()));
  if (Result<void> made = Keep(MakeElement("capsfilter"), filter_); !made) return made;
  if (description_.encoder) {
    if (Result<void> made = Keep(MakeElement(*description_.encoder), encoder_); !made) return made;
    encoderName_ = description_.encoder->FactoryName();
  }
  Result<void> built =
      description_.kind == StreamKind::Video ? BuildVideo(pipeline) : BuildAudio(pipeline, muxer);
  if (!built) return built;
  return Finish(pipeline, muxer);
}

Result<void> Branch::BuildFed(GstBin* pipeline, GstElement* muxer) {
  if (!muxer) return Reason{"Encoded packets have no container to go into."};
  Result<ElementPtr> source = MakeElement("appsrc");
  if (!source) return source.reason();
  // It holds no more than a branch's queue; the feeder waits for room.
  g_object_set(source->get(), "format", GST_FORMAT_TIME, "block", TRUE, "max-bytes",
               guint64{kQueueBytes}, nullptr);
  if (Result<void> linked = AddAndLink(pipeline, {source->get(), head_.get()}); !linked)
    return linked;
  if (Result<void> linked = LinkIntoMuxer(pipeline, head_.get(), muxer); !linked) return linked;
  WatchPosition();
  attached_.store(true);
  description_.feed->fed(source->get());
  return {};
}

Result<void> Branch::BuildVideo(GstBin* pipeline) {
  ElementPtr convert;
  ElementPtr scale;
  ElementPtr rate;
  if (Result<void> made =
          MakeAll({{"videoconvert", &convert}, {"videoscale", &scale}, {"videorate", &rate}});
      !made)
    return made;
  std::vector<GstElement*> chain{head_.get()};
  // A lower fixed rate drops pictures before they are converted, turned and
  // scaled rather than after (a 60 fps phone clip for Windows Media keeps
  // 23 of its 60); the rate element at the end still makes the rate exact.
  // It drops nothing until Attach finds the pictures progressive.
  if (description_.video.framerateNum > 0 && description_.video.framerateDen > 0) {
    if (Result<void> made = Keep(MakeElement("videorate"), thinning_); !made) return made;
    g_object_set(thinning_.get(), "drop-only", TRUE, nullptr);
    chain.push_back(thinning_.get());
    // Of a source without a frame rate, the element keeps a picture until
    // its duration is over; where the source gives none (Matroska blocks
    // often do not), the output's frame period stands in. GStreamer 1.26's
    // element aborts the process on such a picture.
    const PadPtr thinned(gst_element_get_static_pad(thinning_.get(), "sink"));
    probes_.emplace_back(
        thinned.get(), GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo* info, gpointer period) {
          if (GST_BUFFER_DURATION_IS_VALID(GST_PAD_PROBE_INFO_BUFFER(info)))
            return GST_PAD_PROBE_OK;
          GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
          GST_PAD_PROBE_INFO_DATA(info) = buffer;
          GST_BUFFER_DURATION(buffer) = *static_cast<GstClockTime*>(period);
          return GST_PAD_PROBE_OK;
        },
        new GstClockTime(gst_util_uint64_scale_int(GST_SECOND, description_.video.framerateDen,
                                                   description_.video.framerateNum)),
        [](gpointer period) { delete static_cast<GstClockTime*>(period); });
  }
  chain.push_back(convert.get());
  if (encoder_) {
    // Passes pictures through until Attach finds that the encoder needs
    // progressive ones; one picture per frame, so the rate stays the source's.
    if (Result<void> made = Keep(MakeElement("deinterlace"), deinterlace_); !made) return made;
    gst_util_set_object_arg(G_OBJECT(deinterlace_.get()), "mode", "disabled");
    gst_util_set_object_arg(G_OBJECT(deinterlace_.get()), "fields", "top");
    chain.push_back(deinterlace_.get());
  }
  // Only a turned source gets the element: it takes fewer raw formats than
  // the rest of the chain.
  ElementPtr turn;
  if (const std::string direction = UprightDirection(description_.orientation);
      !direction.empty()) {
    if (Result<void> made = Keep(MakeElement("videoflip"), turn); !made) return made;
    gst_util_set_object_arg(G_OBJECT(turn.get()), "video-direction", direction.c_str());
    chain.push_back(turn.get());
    // The pictures are upright from here: a writer that keeps the source's
    // note to turn them (Matroska's, from GStreamer 1.24) would have players
    // turn them again.
    const PadPtr turned(gst_element_get_static_pad(turn.get(), "src"));
    probes_.emplace_back(turned.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &DropOrientation,
                         nullptr, nullptr);
  }
  chain.insert(chain.end(), {scale.get(), rate.get(), filter_.get()});
  return AddAndLink(pipeline, chain);
}

Result<void> Branch::BuildAudio(GstBin* pipeline, GstElement* muxer) {
  ElementPtr convert;
  ElementPtr resample;
  if (Result<void> made = MakeAll({{"audioconvert", &convert}, {"audioresample", &resample}});
      !made)
    return made;
  std::vector<GstElement*> chain{head_.get(), convert.get(), resample.get()};
  // A file that plays every stream from its start keeps a late start of the
  // sound as silence (the picture's videorate does the same for pictures).
  ElementPtr fill;
  if (muxer && StartsEveryStreamAtZero(muxer)) {
    if (Result<void> made = Keep(MakeElement("audiorate"), fill); !made) return made;
    chain.push_back(fill.get());
  }
  chain.push_back(filter_.get());
  if (Result<void> linked = AddAndLink(pipeline, chain); !linked) return linked;
  // The sound's time never goes back (audio_continuity.h) from here on,
  // ahead of the audiorate: it would keep to stamps that overlap and drop
  // the samples they overlap with.
  PadPtr raw(gst_element_get_static_pad(resample.get(), "src"));
  probes_.push_back(KeepAudioInOrder(raw.get()));
  return {};
}

Result<void> Branch::Finish(GstBin* pipeline, GstElement* muxer) {
  Result<GstElement*> tail = LinkEncoder(pipeline, muxer);
  if (!tail) return tail.reason();
  if (encoder_ && muxer) SuitEncoderToMuxer(encoder_.get(), muxer);
  if (encoder_ && description_.keyFrameAt) AskKeyFrame(*description_.keyFrameAt);
  // A repaired encoder's output is in running time already.
  const bool repaired = encoder_ && MendEncoder();
  if (muxer && !repaired && WritesTimestampsAsGiven(muxer)) JoinRunningTime(*tail);
  Result<void> linked = muxer                  ? LinkIntoMuxer(pipeline, *tail, muxer)
                        : description_.packets ? LinkIntoPackets(pipeline, *tail)
                                               : LinkIntoDiscard(pipeline, *tail);
  if (!linked) return linked;
  WatchPosition();
  return {};
}

Result<GstElement*> Branch::LinkEncoder(GstBin* pipeline, GstElement* muxer) {
  if (!encoder_) return filter_.get();
  std::vector<GstElement*> chain{filter_.get()};
  // The encoder gets a thread of its own: the converting, turning and
  // scaling in front of it (a deinterlaced DVD, a 10-bit phone clip, another
  // size) then work beside it rather than before it.
  ElementPtr fed;
  if (description_.kind == StreamKind::Video) {
    if (Result<void> made = Keep(MakeQueue(), fed); !made) return made.reason();
    chain.push_back(fed.get());
  }
  chain.push_back(encoder_.get());
  // Fixed at Attach, when the raw stream is known (libav_video_encoder.h).
  if (IsLibavVideoEncoder(encoder_.get())) {
    if (Result<void> made = Keep(MakeElement("capsfilter"), encoded_); !made) return made.reason();
    chain.push_back(encoded_.get());
  }
  ElementPtr framed;
  if (const char* parser = muxer ? ParserBetween(encoder_.get(), muxer) : nullptr) {
    if (Result<void> made = Keep(MakeElement(parser), framed); !made) return made.reason();
    chain.push_back(framed.get());
  }
  for (std::size_t i = 1; i < chain.size(); ++i) gst_bin_add(pipeline, chain[i]);
  for (std::size_t i = 1; i < chain.size(); ++i)
    if (!gst_element_link(chain[i - 1], chain[i]))
      return Reason{"The encoder \"" + encoderName_ + "\" cannot take this raw stream."};
  return chain.back();
}

bool Branch::MendEncoder() {
  // A pad runs its probes in the order they were installed. The delay moves
  // the segment's start and chains sound of its own into the pad from its
  // probe, which the later probes then see; the aligning clips to the
  // segment the encoder will use, so it comes after the delay.
  std::vector<PadProbe> mends = RepairEncoderTimestamps(encoder_.get());
  const bool repaired = !mends.empty();
  if (std::optional<PadProbe> delayed = StartAfterEncoderDelay(encoder_.get()))
    mends.push_back(std::move(*delayed));
  if (std::optional<PadProbe> aligned = KeepEncoderInputAligned(encoder_.get()))
    mends.push_back(std::move(*aligned));
  for (PadProbe& probe : mends) probes_.push_back(std::move(probe));
  return repaired;
}

void Branch::AskKeyFrame(GstClockTime at) {
  // The request is an event in the stream, so it goes in with the first
  // picture, once the encoder has its format and segment.
  struct Request {
    GstClockTime at;
    bool sent = false;
  };
  const PadPtr taken(gst_element_get_static_pad(encoder_.get(), "sink"));
  probes_.emplace_back(
      taken.get(), GST_PAD_PROBE_TYPE_BUFFER,
      [](GstPad* pad, GstPadProbeInfo*, gpointer data) {
        auto& request = *static_cast<Request*>(data);
        if (request.sent) return GST_PAD_PROBE_OK;
        request.sent = true;
        gst_pad_send_event(pad,
                           gst_video_event_new_downstream_force_key_unit(
                               GST_CLOCK_TIME_NONE, GST_CLOCK_TIME_NONE, request.at, FALSE, 0));
        return GST_PAD_PROBE_OK;
      },
      new Request{at}, [](gpointer data) { delete static_cast<Request*>(data); });
}

void Branch::JoinRunningTime(GstElement* tail) {
  // Streams whose encoder left them in their own segment join the others
  // in running time, the one origin the muxer then sees for all of them.
  const PadPtr out(gst_element_get_static_pad(tail, "src"));
  probes_.push_back(RestampToRunningTime(out.get()));
}

Result<void> Branch::LinkIntoMuxer(GstBin* pipeline, GstElement* tail, GstElement* muxer) {
  // What the tail will carry: the encoder's output, or raw media. (Its pad
  // cannot tell yet: nothing upstream is linked.)
  const PadPtr encoded(encoder_ ? gst_element_get_static_pad(encoder_.get(), "src") : nullptr);
  const CapsPtr carried(
      description_.feed ? gst_caps_ref(description_.feed->caps.get())
      : encoder_        ? gst_pad_get_pad_template_caps(encoded.get())
                        : gst_caps_new_empty_simple(
                              description_.kind == StreamKind::Video ? "video/x-raw" : "audio/x-raw"));
  // The muxer and the file writer get a thread of their own beside the
  // encoder's, as a queue in front of a muxer gives them.
  Result<ElementPtr> feed = MakeQueue();
  if (!feed) return feed.reason();
  gst_bin_add(pipeline, feed->get());
  if (!gst_element_link(tail, feed->get()))
    return Reason{"The stream cannot be queued for the container."};
  const PadPtr queued(gst_element_get_static_pad(feed->get(), "src"));
  muxerPad_ = PadPtr(gst_element_get_compatible_pad(muxer, queued.get(), carried.get()));
  if (!muxerPad_)
    return Reason{"The container cannot take the " +
                  std::string(description_.kind == StreamKind::Video ? "video" : "audio") +
                  (encoderName_.empty() ? " stream raw." : " stream of \"" + encoderName_ + "\".")};
  muxer_ = Borrow(muxer);
  if (!encoder_ && !description_.feed && description_.kind == StreamKind::Video)
    rawFormats_ = ReadableRawVideo(muxerPad_.get());
  return LinkToEnd(queued.get());
}

Result<void> Branch::LinkIntoDiscard(GstBin* pipeline, GstElement* tail) {
  Result<ElementPtr> sink = MakeElement("fakesink");
  if (!sink) return sink.reason();
  g_object_set(sink->get(), "sync", FALSE, nullptr);
  gst_bin_add(pipeline, sink->get());
  muxerPad_ = PadPtr(gst_element_get_static_pad(sink->get(), "sink"));
  const PadPtr out(gst_element_get_static_pad(tail, "src"));
  return LinkToEnd(out.get());
}

Result<void> Branch::LinkIntoPackets(GstBin* pipeline, GstElement* tail) {
  Result<ElementPtr> sink = MakeElement("appsink");
  if (!sink) return sink.reason();
  // No preroll: a run of a stretch of the source seeks before any packet.
  g_object_set(sink->get(), "sync", FALSE, "async", FALSE, "emit-signals", TRUE,
               "enable-last-sample", FALSE, nullptr);
  g_signal_connect(sink->get(), "new-sample", G_CALLBACK(&Branch::OnPacket), this);
  threads::ReleaseState(&description_.packets);
  gst_bin_add(pipeline, sink->get());
  muxerPad_ = PadPtr(gst_element_get_static_pad(sink->get(), "sink"));
  const PadPtr out(gst_element_get_static_pad(tail, "src"));
  return LinkToEnd(out.get());
}

GstFlowReturn Branch::OnPacket(GstElement* sink, gpointer data) {
  auto& self = *static_cast<Branch*>(data);
  const threads::StateVisit shown(&self.description_.packets);
  const SamplePtr sample(gst_app_sink_pull_sample(GST_APP_SINK(sink)));
  if (sample) self.description_.packets(sample.get());
  return GST_FLOW_OK;
}

Result<void> Branch::LinkToEnd(GstPad* out) {
  if (GST_PAD_LINK_FAILED(gst_pad_link(out, muxerPad_.get())))
    return Reason{"The stream cannot be linked into the container."};
  return {};
}

void Branch::WatchPosition() {
  PadPtr entry(gst_element_get_static_pad(head_.get(), "sink"));
  probes_.emplace_back(
      entry.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
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
            self.position_.store(
                std::max<std::int64_t>(self.position_.load(), static_cast<std::int64_t>(running)));
        } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_SEGMENT) {
          const GstSegment* segment = nullptr;
          gst_event_parse_segment(GST_PAD_PROBE_INFO_EVENT(info), &segment);
          gst_segment_copy_into(segment, &self.segment_);
        }
        return GST_PAD_PROBE_OK;
      },
      this, nullptr);
}

GstCaps* Branch::RawCaps(GstCaps* source) const {
  const GstStructure* from = gst_caps_get_structure(source, 0);
  const EncoderLimits limits = LimitsOf(encoderName_);
  if (description_.kind == StreamKind::Audio) {
    int rate = 0;
    int channels = 0;
    gst_structure_get_int(from, "rate", &rate);
    gst_structure_get_int(from, "channels", &channels);
    const PadPtr taker = TakerOf(encoder_.get(), muxerPad_.get());
    if (description_.audio.rate <= 0 && rate > 0) rate = std::max(rate, limits.minRate);
    int r = Clamped(description_.audio.rate, rate, limits.maxRate);
    if (r == 0) r = RawSoundRate(taker.get(), rate);
    int c = Clamped(description_.audio.channels, channels, limits.maxChannels);
    if (c == 0) c = RawSoundChannels(taker.get(), channels);
    GstCaps* caps = gst_caps_new_empty_simple("audio/x-raw");
    if (r > 0) gst_caps_set_simple(caps, "rate", G_TYPE_INT, r, nullptr);
    if (c > 0) gst_caps_set_simple(caps, "channels", G_TYPE_INT, c, nullptr);
    return caps;
  }

  const RawVideo& wanted = description_.video;
  int sourceWidth = 0;
  int sourceHeight = 0;
  gst_structure_get_int(from, "width", &sourceWidth);
  gst_structure_get_int(from, "height", &sourceHeight);
  // The decoded pad's pictures, as turned upright before the caps filter.
  if (TurnsAQuarter(description_.orientation)) std::swap(sourceWidth, sourceHeight);
  int width = wanted.width > 0 ? wanted.width : sourceWidth;
  int height = wanted.height > 0 ? wanted.height : sourceHeight;
  if (limits.evenWidth && width > 1) width &= ~1;
  if (limits.evenHeight && height > 1) height &= ~1;

  GstCaps* caps = gst_caps_new_empty_simple("video/x-raw");
  if (!wanted.format.empty())
    gst_caps_set_simple(caps, "format", G_TYPE_STRING, wanted.format.c_str(), nullptr);
  else if (rawFormats_)
    gst_caps_set_value(
        caps, "format",
        gst_structure_get_value(gst_caps_get_structure(rawFormats_.get(), 0), "format"));
  if (width > 0 && height > 0) {
    gst_caps_set_simple(caps, "width", G_TYPE_INT, width, "height", G_TYPE_INT, height, nullptr);
    // Pictures scaled to another size are in square pixels; at the stored size
    // they keep the source's pixel shape, so a 16:9 DVD still shows at 16:9.
    // The shape is fixed as the stream starts: a broadcast that goes from 4:3
    // to 16:9 midway gets borders then, where an encoder and a container
    // asked to change shape would fail the run.
    int shapeWidth = 1;
    int shapeHeight = 1;
    if (width == sourceWidth && height == sourceHeight) {
      // Left square when the source names no shape.
      gst_structure_get_fraction(from, "pixel-aspect-ratio", &shapeWidth, &shapeHeight);
      if (TurnsAQuarter(description_.orientation)) std::swap(shapeWidth, shapeHeight);
    }
    gst_caps_set_simple(caps, "pixel-aspect-ratio", GST_TYPE_FRACTION, shapeWidth, shapeHeight,
                        nullptr);
  }
  if (wanted.framerateNum > 0 && wanted.framerateDen > 0)
    gst_caps_set_simple(caps, "framerate", GST_TYPE_FRACTION, wanted.framerateNum,
                        wanted.framerateDen, nullptr);
  return caps;
}

bool Branch::Takes(const gchar* streamId, int index) const {
  if (description_.feed) return false;
  if (description_.streamId.empty() || !streamId) return description_.streamIndex == index;
  return PlaceInFile(description_.streamId) == PlaceInFile(streamId);
}

bool Branch::Attach(GstPad* decoded, GstCaps* caps) {
  // Interlaced pictures (DV, DVD, broadcast) are made progressive for an
  // encoder that refuses them; progressive ones still pass untouched.
  if (deinterlace_ && RefusesInterlacedInput(gst_element_get_factory(encoder_.get())))
    gst_util_set_object_arg(G_OBJECT(deinterlace_.get()), "mode", "auto");
  // A deinterlacer needs every field of the pictures around each one.
  if (thinning_ && IsProgressive(caps)) {
    const RawVideo& wanted = description_.video;
    const int atMost = (wanted.framerateNum + wanted.framerateDen - 1) / wanted.framerateDen;
    g_object_set(thinning_.get(), "max-rate", atMost, nullptr);
  }
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
    if (Engaged(Workaround::LibavFrameRate)) {
      if (const CapsPtr fixed = RateControlCaps(encoder_.get(), received.get()))
        g_object_set(encoded_.get(), "caps", fixed.get(), nullptr);
    }
  }
  // A sound the converters cannot take would never reach the muxer, which
  // would then wait for it while the pictures fill their queues.
  if (description_.kind == StreamKind::Audio && !TakesSound(caps)) return false;
  PadPtr entry(gst_element_get_static_pad(head_.get(), "sink"));
  if (GST_PAD_LINK_FAILED(gst_pad_link(decoded, entry.get()))) return false;
  attached_.store(true);
  return true;
}

bool Branch::TakesSound(GstCaps* caps) const {
  const CapsPtr placed = WithUsualPlaces(caps);
  const PadPtr entered(gst_element_get_static_pad(head_.get(), "src"));
  const PadPtr converter(gst_pad_get_peer(entered.get()));
  if (!converter) return false;
  const CapsPtr possible(gst_pad_query_caps(converter.get(), placed ? placed.get() : caps));
  return possible && !gst_caps_is_empty(possible.get());
}

void Branch::End() {
  // A fed stream is ended by its feeder, after what it still holds.
  if (description_.feed) return;
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
