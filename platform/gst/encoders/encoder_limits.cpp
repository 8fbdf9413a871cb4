#include "platform/gst/encoders/encoder_limits.h"

namespace gst {

EncoderLimits LimitsOf(std::string_view factory) {
  // Windows Media Video 7 and 8: "width must be multiple of 2".
  if (factory == "avenc_wmv1" || factory == "avenc_wmv2") return {true, false, 0, 0};
  // 4:2:0 encoders that refuse odd sizes in either direction.
  if (factory == "x264enc" || factory == "x265enc") return {true, true, 0, 0};
  // Windows Media Audio 1 and 2 open only at 48 kHz or less and in stereo or mono.
  if (factory == "avenc_wmav1" || factory == "avenc_wmav2") return {false, false, 48000, 2};
  // TwoLAME's default 192 kbit/s is more than MPEG-2's half rates (16 to
  // 24 kHz) allow: it fails to open at them.
  if (factory == "twolamemp2enc") return {false, false, 0, 0, 32000};
  return {};
}

}  // namespace gst
