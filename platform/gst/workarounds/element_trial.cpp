#include "platform/gst/workarounds/element_trial.h"

#include <algorithm>
#include <utility>

#include "platform/threads/thread_order.h"

namespace gst {

ElementTrial::ElementTrial()
    : pipeline_(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("trial")))),
      sink_(gst_element_factory_make("fakesink", nullptr)) {
  g_object_set(sink_, "sync", FALSE, "async", FALSE, nullptr);
  gst_bin_add(GST_BIN(pipeline_.get()), sink_);
  PadPtr input(gst_element_get_static_pad(sink_, "sink"));
  gst_pad_add_probe(
      input.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
      &OnReceived, this, nullptr);
}

ElementTrial::~ElementTrial() { gst_element_set_state(pipeline_.get(), GST_STATE_NULL); }

GstElement* ElementTrial::Add(const char* factory) {
  GstElement* element = gst_element_factory_make(factory, nullptr);
  if (element) gst_bin_add(GST_BIN(pipeline_.get()), element);
  return element;
}

bool ElementTrial::Play(GstElement* last) {
  return gst_element_link(last, sink_) &&
         gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool ElementTrial::Begin(GstPad* pad, GstCaps* caps) {
  GstSegment segment;
  gst_segment_init(&segment, GST_FORMAT_TIME);
  return gst_pad_send_event(pad, gst_event_new_stream_start("trial")) &&
         gst_pad_send_event(pad, gst_event_new_caps(caps)) &&
         gst_pad_send_event(pad, gst_event_new_segment(&segment));
}

bool ElementTrial::Push(GstPad* pad, std::vector<std::uint8_t> bytes, GstClockTime pts,
                        GstClockTime duration) {
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes.size(), nullptr);
  gst_buffer_fill(buffer, 0, bytes.data(), bytes.size());
  GST_BUFFER_PTS(buffer) = pts;
  GST_BUFFER_DTS(buffer) = pts;
  GST_BUFFER_DURATION(buffer) = duration;
  return gst_pad_chain(pad, buffer) == GST_FLOW_OK;
}

void ElementTrial::End(GstPad* pad) { gst_pad_send_event(pad, gst_event_new_eos()); }

GstElement* ElementTrial::AddFile(std::vector<std::uint8_t> bytes) {
  GstElement* source = Add("appsrc");
  if (!source) return nullptr;
  file_ = std::move(bytes);
  g_object_set(source, "size", static_cast<gint64>(file_.size()), "format", GST_FORMAT_BYTES,
               nullptr);
  gst_util_set_object_arg(G_OBJECT(source), "stream-type", "random-access");
  GstAppSrcCallbacks callbacks{};
  callbacks.need_data = &OnReadFile;
  callbacks.seek_data = &OnSeekFile;
  gst_app_src_set_callbacks(GST_APP_SRC(source), &callbacks, this, nullptr);
  return source;
}

gboolean ElementTrial::OnSeekFile(GstAppSrc*, guint64 offset, gpointer data) {
  const threads::StateVisit visit(data);
  auto& self = *static_cast<ElementTrial*>(data);
  self.readAt_ = static_cast<std::size_t>(std::min<guint64>(offset, self.file_.size()));
  return TRUE;
}

void ElementTrial::OnReadFile(GstAppSrc* source, guint length, gpointer data) {
  const threads::StateVisit visit(data);
  auto& self = *static_cast<ElementTrial*>(data);
  const std::size_t size = std::min<std::size_t>(length, self.file_.size() - self.readAt_);
  if (size == 0) {
    gst_app_src_end_of_stream(source);
    return;
  }
  GstBuffer* buffer = gst_buffer_new_memdup(self.file_.data() + self.readAt_, size);
  GST_BUFFER_OFFSET(buffer) = self.readAt_;
  self.readAt_ += size;
  gst_app_src_push_buffer(source, buffer);
}

bool ElementTrial::PlayFirstStream(GstElement* demuxer) {
  g_signal_connect(demuxer, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer sink) {
                     const PadPtr input(gst_element_get_static_pad(GST_ELEMENT(sink), "sink"));
                     if (!gst_pad_is_linked(input.get())) gst_pad_link(pad, input.get());
                   }),
                   sink_);
  threads::ReleaseState(this);
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
    return false;
  const BusPtr bus(gst_element_get_bus(pipeline_.get()));
  const MessagePtr ended(gst_bus_timed_pop_filtered(
      bus.get(), 5 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  // Stopped, the reader's thread leaves what it gave for the caller to read.
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  threads::AcquireState(this);
  return ended && GST_MESSAGE_TYPE(ended.get()) == GST_MESSAGE_EOS;
}

GstPadProbeReturn ElementTrial::OnReceived(GstPad*, GstPadProbeInfo* info, gpointer data) {
  const threads::StateVisit visit(data);
  auto& self = *static_cast<ElementTrial*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      self.caps_.Reset(gst_caps_ref(caps));
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
      const GstSegment* segment = nullptr;
      gst_event_parse_segment(event, &segment);
      if (segment->format == GST_FORMAT_BYTES) self.position_ = segment->start;
    }
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const gsize size = gst_buffer_get_size(buffer);
  self.buffers_.push_back(
      {size, GST_BUFFER_PTS(buffer), GST_BUFFER_DTS(buffer), GST_BUFFER_DURATION(buffer)});
  if (self.written_.size() < self.position_ + size) self.written_.resize(self.position_ + size);
  gst_buffer_extract(buffer, 0, self.written_.data() + self.position_, size);
  self.position_ += size;
  return GST_PAD_PROBE_OK;
}

}  // namespace gst
