#include "platform/gst/encoders/encoder_defaults.h"

#include <string_view>

#include "platform/gst/element_maker.h"

namespace gst {

namespace {

constexpr int kX264LookAhead = 30;

void PreferAutomaticThreads(GstElement* encoder) {
  GParamSpec* param = g_object_class_find_property(G_OBJECT_GET_CLASS(encoder), "threads");
  if (!param || !(param->flags & G_PARAM_WRITABLE) || !G_IS_PARAM_SPEC_ENUM(param)) return;
  // 0 is the libav value for "autodetect a suitable number of threads".
  GEnumValue* automatic = g_enum_get_value(G_PARAM_SPEC_ENUM(param)->enum_class, 0);
  if (automatic) g_object_set(encoder, "threads", 0, nullptr);
}

}  // namespace

ElementPtr MakeEncoder(const std::string& factory) {
  GstElement* made = gst_element_factory_make(factory.c_str(), nullptr);
  if (!made) return {};
  ElementPtr encoder(GST_ELEMENT(gst_object_ref_sink(made)));
  PreferAutomaticThreads(encoder.get());
  if (std::string_view(factory) == "x264enc")
    g_object_set(encoder.get(), "rc-lookahead", kX264LookAhead, nullptr);
  // libav marks its DTS encoder experimental and will not open it otherwise.
  if (std::string_view(factory) == "avenc_dca")
    gst_util_set_object_arg(G_OBJECT(encoder.get()), "strict", "experimental");
  return encoder;
}

void SuitEncoderToMuxer(GstElement* encoder, GstElement* muxer) {
  if (FactoryNameOf(encoder) == "lamemp3enc" && FactoryNameOf(muxer) == "avimux") {
    gst_util_set_object_arg(G_OBJECT(encoder), "target", "bitrate");
    g_object_set(encoder, "cbr", TRUE, nullptr);
  }
}

const char* ParserBetween(GstElement* encoder, GstElement* muxer) {
  if (FactoryNameOf(muxer) != "avimux") return nullptr;
  const PadPtr out(gst_element_get_static_pad(encoder, "src"));
  if (!out) return nullptr;
  const CapsPtr carried(gst_pad_get_pad_template_caps(out.get()));
  const CapsPtr mpegAudio(gst_caps_from_string("audio/mpeg, mpegversion=(int)1"));
  return gst_caps_can_intersect(carried.get(), mpegAudio.get()) ? "mpegaudioparse" : nullptr;
}

}  // namespace gst
