#include "platform/gst/pipeline/pipeline_errors.h"

#include "platform/gst/gst_handle.h"

namespace gst {

namespace {

using Failure = PipelineEvent::Failure;

Failure Classify(const GError& error, const std::string& debug, bool fromWriter) {
  if (error.domain == ConversionErrorQuark()) return static_cast<Failure>(error.code);
  if (error.domain == GST_RESOURCE_ERROR) {
    if (fromWriter) return Failure::Write;
    switch (error.code) {
      case GST_RESOURCE_ERROR_OPEN_WRITE:
      case GST_RESOURCE_ERROR_WRITE:
      case GST_RESOURCE_ERROR_NO_SPACE_LEFT:
        return Failure::Write;
      default:
        return Failure::UnreadableSource;
    }
  }
  if (error.domain == GST_CORE_ERROR) {
    if (error.code == GST_CORE_ERROR_MISSING_PLUGIN) return Failure::MissingDecoder;
    if (error.code == GST_CORE_ERROR_NEGOTIATION) return Failure::Negotiation;
    return Failure::Other;
  }
  if (error.domain == GST_STREAM_ERROR) {
    switch (error.code) {
      case GST_STREAM_ERROR_CODEC_NOT_FOUND:
        return Failure::MissingDecoder;
      case GST_STREAM_ERROR_TYPE_NOT_FOUND:
      case GST_STREAM_ERROR_WRONG_TYPE:
      case GST_STREAM_ERROR_DEMUX:
      case GST_STREAM_ERROR_DECODE:
      case GST_STREAM_ERROR_DECRYPT:
      case GST_STREAM_ERROR_DECRYPT_NOKEY:
        return Failure::UnreadableSource;
      default:
        // A flow error names its reason only in the debug text.
        return debug.find("not-negotiated") != std::string::npos ? Failure::Negotiation
                                                                 : Failure::Other;
    }
  }
  return Failure::Other;
}

}  // namespace

GQuark ConversionErrorQuark() { return g_quark_from_static_string("conversion-pipeline-error"); }

PipelineEvent ErrorEvent(GstMessage* message, GstElement* writer) {
  GError* raw = nullptr;
  gchar* rawDebug = nullptr;
  gst_message_parse_error(message, &raw, &rawDebug);
  const ErrorPtr error(raw);
  const CharPtr debug(rawDebug);
  const CharPtr source(gst_object_get_path_string(GST_MESSAGE_SRC(message)));

  PipelineEvent event;
  event.kind = PipelineEvent::Kind::Error;
  event.message = error ? error.get()->message : "Unknown error.";
  event.detail = std::string(source ? source.get() : "") + ": " + (debug ? debug.get() : "");
  const bool fromWriter = writer && GST_MESSAGE_SRC(message) == GST_OBJECT(writer);
  event.failure = error ? Classify(*error.get(), event.detail, fromWriter) : Failure::Other;
  return event;
}

void PostFailure(GstElement* source, PipelineEvent::Failure failure, const std::string& message) {
  const ErrorPtr error(
      g_error_new_literal(ConversionErrorQuark(), static_cast<gint>(failure), message.c_str()));
  gst_element_post_message(source, gst_message_new_error(GST_OBJECT(source), error.get(), nullptr));
}

}  // namespace gst
