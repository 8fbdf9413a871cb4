#include "platform/dshow/parsed_streams_scan.h"

#include "platform/gst/workarounds/input/input_mends.h"
#include "platform/threads/thread_order.h"

namespace dshow {

namespace {

GstElement* Owned(GstElement* floating) {
  return floating ? GST_ELEMENT(gst_object_ref_sink(floating)) : nullptr;
}

}  // namespace

ParsedStreamsScan::Ending ParsedStreamsScan::Run(const std::string& uri,
                                                 std::chrono::milliseconds limit) {
  GError* uriError = nullptr;
  const gst::ElementPtr source(
      Owned(gst_element_make_from_uri(GST_URI_SRC, uri.c_str(), nullptr, &uriError)));
  const gst::ErrorPtr uriErrorOwner(uriError);
  const gst::ElementPtr parser(Owned(gst_element_factory_make("parsebin", nullptr)));
  if (!source || !parser) return Ending::Failed;
  gst::MendSourceBytes(source.get());
  pipeline_ = gst::ElementPtr(Owned(gst_pipeline_new("parsed-streams")));
  gst_bin_add_many(GST_BIN(pipeline_.get()), source.get(), parser.get(), nullptr);
  if (!gst_element_link(source.get(), parser.get())) return Ending::Failed;
  g_signal_connect(parser.get(), "pad-added", G_CALLBACK(&ParsedStreamsScan::OnPadAdded), this);

  threads::ReleaseState(this);  // for the callbacks on the streaming threads
  gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
  const gst::BusPtr bus(gst_element_get_bus(pipeline_.get()));
  const gst::MessagePtr end(gst_bus_timed_pop_filtered(
      bus.get(), std::chrono::duration_cast<std::chrono::nanoseconds>(limit).count(),
      static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR | GST_MESSAGE_APPLICATION)));
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  threads::AcquireState(this);  // what the callbacks left
  if (!end) return Ending::Failed;
  switch (GST_MESSAGE_TYPE(end.get())) {
    case GST_MESSAGE_APPLICATION:
      return Ending::Enough;
    case GST_MESSAGE_EOS:
      return Ending::EndOfFile;
    default:
      return Ending::Failed;
  }
}

void ParsedStreamsScan::OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  const threads::StateVisit shown(data);
  static_cast<ParsedStreamsScan*>(data)->Attach(pad);
}

// Every stream goes to a sink that discards it.
void ParsedStreamsScan::Attach(GstPad* pad) {
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (!sink) return;
  g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
  gst_bin_add(GST_BIN(pipeline_.get()), sink);
  gst_element_sync_state_with_parent(sink);
  const gst::PadPtr input(gst_element_get_static_pad(sink, "sink"));
  if (Watches(pad))
    gst_pad_add_probe(input.get(), GST_PAD_PROBE_TYPE_BUFFER, &ParsedStreamsScan::OnBuffer, this,
                      nullptr);
  gst_pad_link(pad, input.get());
}

GstPadProbeReturn ParsedStreamsScan::OnBuffer(GstPad*, GstPadProbeInfo* info, gpointer data) {
  const threads::StateVisit shown(data);
  auto& self = *static_cast<ParsedStreamsScan*>(data);
  if (!self.Take(GST_PAD_PROBE_INFO_BUFFER(info))) return GST_PAD_PROBE_OK;
  GstElement* pipeline = self.pipeline_.get();
  gst_element_post_message(pipeline, gst_message_new_application(
                                         GST_OBJECT(pipeline), gst_structure_new_empty("enough")));
  return GST_PAD_PROBE_REMOVE;
}

}  // namespace dshow
