#include "platform/gst/workarounds/input/input_mends.h"

#include "platform/gst/gst_handle.h"
#include "platform/gst/workarounds/input/avi_times.h"
#include "platform/gst/workarounds/input/loas_timing.h"
#include "platform/gst/workarounds/input/movie_length.h"
#include "platform/gst/workarounds/input/program_stream_start.h"
#include "platform/gst/workarounds/input/transport_clock.h"

namespace gst {

void MendSourceBytes(GstElement* source) {
  if (!source) return;
  MoveTransportClockAhead(source);
  const PadPtr read(gst_element_get_static_pad(source, "src"));
  if (read) std::move(MendPulledMovie(read.get())).StayWithPad();
}

void MendInput(GstElement* source, GstElement* decodebin, const std::string& path) {
  MendSourceBytes(source);
  KeepAviStreamsInTime(decodebin);
  StartProgramStreamsTogether(decodebin, path);
  KeepLoasSoundInTime(decodebin);
}

}  // namespace gst
