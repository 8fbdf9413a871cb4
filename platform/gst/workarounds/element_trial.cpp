#include "platform/gst/workarounds/element_trial.h"

#include <gst/app/gstappsrc.h>
#include <gst/audio/audio.h>

#include <algorithm>

#include "platform/threads/thread_order.h"

namespace gst {

namespace {

// What a trial waits at most for an element that runs on a thread of its
// own: one that never finishes must not hold the program up.
constexpr GstClockTime kLongestWait = 10 * GST_SECOND;

}  // namespace

// The end a sink's probe keeps what arrives in.
struct ElementTrial::Sink {
  ElementTrial* trial;
  Received* received;
};

ElementTrial::ElementTrial()
    : pipeline_(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("trial")))) {}

// Stopping joins the thread of an element that reads before the ends go.
ElementTrial::~ElementTrial() {
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  threads::AcquireState(this);  // what the elements' threads left
}

GstElement* ElementTrial::Add(const char* factory) {
  GstElement* element = gst_element_factory_make(factory, nullptr);
  return Add(element ? ElementPtr(GST_ELEMENT(gst_object_ref_sink(element))) : ElementPtr());
}

GstElement* ElementTrial::Add(ElementPtr element) {
  if (element) gst_bin_add(GST_BIN(pipeline_.get()), element.get());
  return element.get();
}

bool ElementTrial::Attach(GstPad* pad) {
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (!sink) return false;
  g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
  gst_bin_add(GST_BIN(pipeline_.get()), sink);
  Sink* kept = nullptr;
  {
    const std::lock_guard lock(mutex_);
    kept = &sinks_.emplace_back(Sink{this, &ends_.emplace_back()});
  }
  const PadPtr input(gst_element_get_static_pad(sink, "sink"));
  gst_pad_add_probe(
      input.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                   GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM),
      &OnReceived, kept, nullptr);
  return gst_pad_link(pad, input.get()) == GST_PAD_LINK_OK &&
         gst_element_sync_state_with_parent(sink);
}

void ElementTrial::OnPadAdded(GstElement*, GstPad* pad, gpointer self) {
  const threads::StateVisit shown(self);
  if (GST_PAD_IS_SRC(pad)) static_cast<ElementTrial*>(self)->Attach(pad);
}

bool ElementTrial::Play(GstElement* last) {
  if (const PadPtr output(gst_element_get_static_pad(last, "src")); output) {
    if (!Attach(output.get())) return false;
  } else {
    g_signal_connect(last, "pad-added", G_CALLBACK(&OnPadAdded), this);
  }
  threads::ReleaseState(this);  // for the elements' threads
  return gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool ElementTrial::Begin(GstPad* pad, GstCaps* caps, GstFormat format) {
  threads::ReleaseState(this);
  GstSegment segment;
  gst_segment_init(&segment, format);
  return gst_pad_send_event(pad, gst_event_new_stream_start("trial")) &&
         gst_pad_send_event(pad, gst_event_new_caps(caps)) &&
         gst_pad_send_event(pad, gst_event_new_segment(&segment));
}

bool ElementTrial::Push(GstPad* pad, std::vector<std::uint8_t> bytes, GstClockTime pts,
                        GstClockTime duration) {
  threads::ReleaseState(this);
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes.size(), nullptr);
  gst_buffer_fill(buffer, 0, bytes.data(), bytes.size());
  GST_BUFFER_PTS(buffer) = pts;
  GST_BUFFER_DTS(buffer) = pts;
  GST_BUFFER_DURATION(buffer) = duration;
  return gst_pad_chain(pad, buffer) == GST_FLOW_OK;
}

void ElementTrial::End(GstPad* pad) { gst_pad_send_event(pad, gst_event_new_eos()); }

bool ElementTrial::Finish() { return AwaitEnd(); }

bool ElementTrial::AwaitEnd() {
  const BusPtr bus(gst_element_get_bus(pipeline_.get()));
  const MessagePtr end(gst_bus_timed_pop_filtered(
      bus.get(), kLongestWait, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  threads::AcquireState(this);
  return end && GST_MESSAGE_TYPE(end.get()) == GST_MESSAGE_EOS;
}

bool ElementTrial::Read(GstElement* first, GstElement* last, std::vector<std::uint8_t> bytes) {
  GstElement* source = Add("appsrc");
  if (!source) return false;
  // Bytes at any place, as a file gives them: the element may pull.
  served_ = std::move(bytes);
  g_object_set(source, "stream-type", GST_APP_STREAM_TYPE_RANDOM_ACCESS, "format", GST_FORMAT_BYTES,
               "size", static_cast<gint64>(served_.size()), nullptr);
  GstAppSrcCallbacks callbacks{};
  // The element's thread asks for the bytes from where it last sought.
  callbacks.need_data = [](GstAppSrc* reader, guint length, gpointer data) {
    const threads::StateVisit shown(data);
    auto& self = *static_cast<ElementTrial*>(data);
    const std::lock_guard lock(self.mutex_);
    if (self.readAt_ >= self.served_.size()) {
      gst_app_src_end_of_stream(reader);
      return;
    }
    const std::size_t size = std::min<std::size_t>(length, self.served_.size() - self.readAt_);
    GstBuffer* buffer = gst_buffer_new_memdup(self.served_.data() + self.readAt_, size);
    GST_BUFFER_OFFSET(buffer) = self.readAt_;
    self.readAt_ += size;
    gst_app_src_push_buffer(reader, buffer);
  };
  callbacks.seek_data = [](GstAppSrc*, guint64 offset, gpointer data) -> gboolean {
    const threads::StateVisit shown(data);
    auto& self = *static_cast<ElementTrial*>(data);
    const std::lock_guard lock(self.mutex_);
    self.readAt_ = offset;
    return TRUE;
  };
  gst_app_src_set_callbacks(GST_APP_SRC(source), &callbacks, this, nullptr);
  if (!gst_element_link(source, first) || !Play(last)) return false;
  const bool read = AwaitEnd();
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  threads::AcquireState(this);
  return read;
}

const std::deque<ElementTrial::Received>& ElementTrial::Ends() const {
  threads::AcquireState(this);
  const std::lock_guard lock(mutex_);
  return ends_;
}

const std::vector<std::uint8_t>& ElementTrial::Written() const {
  static const std::vector<std::uint8_t> kNone;
  const std::deque<Received>& ends = Ends();
  return ends.empty() ? kNone : ends.front().written;
}

GstCaps* ElementTrial::ReceivedCaps() const {
  const std::deque<Received>& ends = Ends();
  return ends.empty() ? nullptr : ends.front().caps.get();
}

GstPadProbeReturn ElementTrial::OnReceived(GstPad*, GstPadProbeInfo* info, gpointer data) {
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM) {
    // A writer that can seek back writes its totals at the end (GStreamer's
    // Matroska writer writes a streamable file, without its length, otherwise).
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    GstFormat format = GST_FORMAT_UNDEFINED;
    if (GST_QUERY_TYPE(query) != GST_QUERY_SEEKING) return GST_PAD_PROBE_OK;
    gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
    if (format != GST_FORMAT_BYTES) return GST_PAD_PROBE_OK;
    gst_query_set_seeking(query, GST_FORMAT_BYTES, TRUE, 0, -1);
    return GST_PAD_PROBE_HANDLED;
  }
  const Sink& sink = *static_cast<Sink*>(data);
  const threads::StateVisit shown(sink.trial);
  const std::lock_guard lock(sink.trial->mutex_);
  Received& end = *sink.received;
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      end.caps.Reset(gst_caps_ref(caps));
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
      const GstSegment* segment = nullptr;
      gst_event_parse_segment(event, &segment);
      end.position.Follow(event);
      if (segment->format == GST_FORMAT_TIME && !end.segment) end.segment = *segment;
    }
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const gsize size = gst_buffer_get_size(buffer);
  const GstAudioClippingMeta* clipped = gst_buffer_get_audio_clipping_meta(buffer);
  end.buffers.push_back({size, GST_BUFFER_PTS(buffer), GST_BUFFER_DTS(buffer),
                         GST_BUFFER_DURATION(buffer), clipped ? clipped->start : 0});
  const std::uint64_t at = end.position.Place(size);
  if (end.written.size() < at + size) end.written.resize(at + size);
  gst_buffer_extract(buffer, 0, end.written.data() + at, size);
  return GST_PAD_PROBE_OK;
}

}  // namespace gst
