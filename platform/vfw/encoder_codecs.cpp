// The video encoders of the compressor catalogue, as codecs: same order, the
// factory name as the codec's name and its long name as the description, so
// that a codec is found by the name of the compressor the user chose.

#include <cstdlib>
#include <utility>

#include "platform/gst/encoders/element_properties.h"
#include "platform/gst/encoders/encoder_catalogue.h"
#include "platform/gst/encoders/encoder_defaults.h"
#include "platform/gst/gst_handle.h"
#include "platform/vfw/codec_driver.h"

namespace vfw {

namespace {

class EncoderInstance : public CodecInstance {
 public:
  explicit EncoderInstance(gst::ElementPtr element)
      : element_(std::move(element)), settings_(element_.get()) {}

  // RGB frames of the given size can reach the encoder once converted: the
  // converter makes any raw format, so the frame size decides (some
  // encoders take only a few fixed sizes).
  bool CanCompress(const BITMAPINFOHEADER& input) override {
    const bool rgb = input.biCompression == BI_RGB && input.biPlanes == 1 &&
                     (input.biBitCount == 16 || input.biBitCount == 24 || input.biBitCount == 32);
    if (!rgb || input.biWidth <= 0 || input.biHeight == 0) return false;
    gst::PadPtr sink(gst_element_get_static_pad(element_.get(), "sink"));
    if (!sink) return false;
    gst::CapsPtr frames(gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, input.biWidth,
                                            "height", G_TYPE_INT, std::abs(input.biHeight),
                                            nullptr));
    gst::CapsPtr accepted(gst_pad_query_caps(sink.get(), frames.get()));
    return accepted && !gst_caps_is_empty(accepted.get());
  }

  property::PropertySet& Settings() override { return settings_; }

 private:
  gst::ElementPtr element_;
  gst::ElementProperties settings_;
};

std::string PluginOf(const std::string& factoryName) {
  gst::ElementFactoryPtr factory(gst_element_factory_find(factoryName.c_str()));
  const char* plugin =
      factory ? gst_plugin_feature_get_plugin_name(GST_PLUGIN_FEATURE(factory.get())) : nullptr;
  return plugin ? plugin : "";
}

}  // namespace

std::vector<CodecDriver> EncoderCodecs() {
  std::vector<CodecDriver> codecs;
  for (gst::EncoderEntry& entry : gst::ListEncoders(gst::StreamKind::Video)) {
    CodecDriver codec;
    codec.driver = PluginOf(entry.factoryName);
    codec.open = [factory = entry.factoryName]() -> std::unique_ptr<CodecInstance> {
      gst::ElementPtr made = gst::MakeEncoder(factory);
      if (!made) return nullptr;
      return std::make_unique<EncoderInstance>(std::move(made));
    };
    codec.name = std::move(entry.factoryName);
    codec.description = std::move(entry.longName);
    codecs.push_back(std::move(codec));
  }
  return codecs;
}

}  // namespace vfw
