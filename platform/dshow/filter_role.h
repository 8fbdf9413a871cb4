#pragma once
// What a filter of the model stands for, so that a graph can be turned into
// one pipeline when it runs: the source file with its streams, the decoder
// and renderer of a stream, a compressor with the element it owns, a
// multiplexer, a file writer.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/com/unknown.h"
#include "platform/dshow/stream_info.h"
#include "platform/gst/gst_handle.h"

namespace dshow {

struct SourceFileRole {
  std::string path;  // as given to RenderFile
  std::string uri;
  std::optional<REFERENCE_TIME> duration;  // none when the file does not say
  std::vector<StreamInfo> streams;         // one per output pin, in pin order
};

struct DecoderRole {
  StreamInfo stream;
};

struct RendererRole {
  StreamInfo stream;
};

struct CompressorRole {
  StreamKind kind = StreamKind::Video;
  std::string factoryName;
  // The element the run will use: settings made on it before the run reach
  // the output.
  gst::ElementPtr element;
};

struct MultiplexerRole {
  std::string factoryName;
};

struct FileWriterRole {
  std::string path;
};

using FilterRole = std::variant<SourceFileRole, DecoderRole, RendererRole, CompressorRole,
                                MultiplexerRole, FileWriterRole>;

// Answered by the filters of the model (and by no filter made elsewhere).
struct IModelFilter : IUnknown {
  static constexpr IID kIid = GUID::Parse("{02F51F20-9F88-449B-81AB-4AD33FE15CA7}");
  virtual const FilterRole& Role() const = 0;
};

}  // namespace dshow
