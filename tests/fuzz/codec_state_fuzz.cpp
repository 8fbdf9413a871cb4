// libFuzzer target for the codec state block reader: any bytes as a stored
// codec state, applied to a real encoder's settings as the codec manager
// applies one, must be taken whole or refused without changing anything,
// and never crash, hang or run into undefined behaviour. A state that was
// taken is written back and reads again to the same settings.

#include <gst/gst.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gst/encoders/element_properties.h"
#include "platform/vfw/codec_state.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The encoder whose settings take the states: x264enc has settings of
// every kind (whole numbers, fractions, switches, choices, flags, texts).
constexpr const char* kCodec = "x264enc";

GstElement* Encoder() {
  static GstElement* encoder = [] {
    gst_init(nullptr, nullptr);
    GstElement* element = gst_element_factory_make(kCodec, nullptr);
    if (!element) std::abort();
    return GST_ELEMENT(gst_object_ref_sink(element));
  }();
  return encoder;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Encoder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gst::ElementProperties settings(Encoder());
  const std::vector<std::uint8_t> before = vfw::SaveState(kCodec, settings);

  // Half of the inputs get the codec's header, so that the fuzzer spends
  // its time on the lines behind it.
  std::vector<std::uint8_t> block;
  if (size > 0 && (data[0] & 1)) {
    const std::string header = std::string("RCVFW1 ") + kCodec + "\n";
    block.assign(header.begin(), header.end());
    block.insert(block.end(), data + 1, data + size);
  } else {
    block.assign(data, data + size);
  }

  if (!vfw::ReadState(kCodec, settings, block)) {
    Check(vfw::SaveState(kCodec, settings) == before);  // nothing changed
    return 0;
  }
  const std::vector<std::uint8_t> taken = vfw::SaveState(kCodec, settings);
  Check(vfw::ReadState(kCodec, settings, taken));
  Check(vfw::SaveState(kCodec, settings) == taken);
  // Back to where this input started, for the next one.
  Check(vfw::ReadState(kCodec, settings, before));
  return 0;
}
