#pragma once
// What a filter of the model stands for, so that a graph can be turned into
// one pipeline when it runs: the source file with its streams, the decoder
// and renderer of a stream, a compressor with the element it owns, a
// multiplexer with its element, a file writer, the Windows Media writer.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/com/unknown.h"
#include "platform/dshow/stream_info.h"
#include "platform/gst/encoders/asf_writer_plan.h"
#include "platform/gst/gst_handle.h"

struct IBaseFilter;

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
  // The element the run will use, made when the filter is: settings made on
  // it before the run reach the file.
  gst::ElementPtr element;
};

// Where a writer puts its file, and how (AM_FILESINK_FLAGS).
struct FileSinkTarget {
  std::string path;
  unsigned long mode = 0;
};

struct FileWriterRole : FileSinkTarget {};

// Multiplexes and encodes by itself, one input per stream of its profile.
struct AsfWriterRole : FileSinkTarget {
  std::optional<gst::AsfAudioStream> audio;
  std::optional<gst::AsfVideoStream> video;
  gst::ElementPtr element;  // the container writer the run will use
};

using FilterRole = std::variant<SourceFileRole, DecoderRole, RendererRole, CompressorRole,
                                MultiplexerRole, FileWriterRole, AsfWriterRole>;

// Answered by the filters of the model (and by no filter made elsewhere).
struct IModelFilter : IUnknown {
  static constexpr IID kIid = GUID::Parse("{02F51F20-9F88-449B-81AB-4AD33FE15CA7}");
  virtual const FilterRole& Role() const = 0;
};

// The role of a filter of the model; null for filters made elsewhere.
const FilterRole* RoleOf(IBaseFilter& filter);

// The role of a model filter when it is of that kind; null otherwise.
template <typename Role>
const Role* RoleIf(IBaseFilter& filter) {
  const FilterRole* role = RoleOf(filter);
  return role ? std::get_if<Role>(role) : nullptr;
}

}  // namespace dshow
