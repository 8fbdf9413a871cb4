#include "platform/gst/avi_picture_times.h"

#include <string_view>

#include "platform/gst/element_maker.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pad_probe.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

struct StreamState {
  bool reordered = false;
  bool stamped = false;  // the segment's first picture went on with its stamp
};

GstPadProbeReturn OnPicture(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<StreamState*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) &
      (GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH)) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      state.reordered = ReordersPictures(caps);
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT ||
               GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
      state.stamped = false;
    }
    return GST_PAD_PROBE_OK;
  }
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!state.reordered || !buffer || !GST_BUFFER_PTS_IS_VALID(buffer)) return GST_PAD_PROBE_OK;
  // The first keeps its stamp: it is shown first whatever the order, and it
  // tells the decoder that the ticks are the pictures' times.
  if (!state.stamped) {
    state.stamped = true;
    return GST_PAD_PROBE_OK;
  }
  buffer = gst_buffer_make_writable(buffer);
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  GST_BUFFER_PTS(buffer) = GST_CLOCK_TIME_NONE;
  return GST_PAD_PROBE_OK;
}

void OnPadAdded(GstElement*, GstPad* pad, gpointer) {
  if (!std::string_view(GST_PAD_NAME(pad)).starts_with("video_")) return;
  // The pad owns the state: it goes with the probe when the pad does.
  // Its caps may have gone out before the pad was added.
  auto* state = new StreamState();
  const CapsPtr caps(gst_pad_get_current_caps(pad));
  state->reordered = ReordersPictures(caps.get());
  threads::ReleaseState(state);
  gst_pad_add_probe(
      pad,
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                   GST_PAD_PROBE_TYPE_EVENT_FLUSH),
      &ShownToThreads<&OnPicture>, state, [](gpointer data) {
        threads::AcquireState(data);
        delete static_cast<StreamState*>(data);
      });
}

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer) {
  if (FactoryNameOf(element) == "avidemux")
    g_signal_connect(element, "pad-added", G_CALLBACK(&OnPadAdded), nullptr);
}

}  // namespace

bool ReordersPictures(const GstCaps* caps) {
  if (!caps || gst_caps_is_empty(caps)) return false;
  const GstStructure* structure = gst_caps_get_structure(caps, 0);
  const std::string_view name = gst_structure_get_name(structure);
  int version = 0;
  gboolean system = FALSE;
  if (name == "video/mpeg") {
    gst_structure_get_boolean(structure, "systemstream", &system);
    return gst_structure_get_int(structure, "mpegversion", &version) && version <= 4 && !system;
  }
  // DivX 3 is Microsoft's MPEG-4, which has no B pictures.
  if (name == "video/x-divx")
    return gst_structure_get_int(structure, "divxversion", &version) && version >= 4;
  return name == "video/x-xvid";
}

void KeepAviPicturesInOrder(GstElement* decodebin) {
  if (decodebin && GST_IS_BIN(decodebin))
    g_signal_connect(decodebin, "deep-element-added", G_CALLBACK(&OnElementAdded), nullptr);
}

}  // namespace gst
