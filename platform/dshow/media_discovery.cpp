#include "platform/dshow/media_discovery.h"

#include <fcntl.h>
#include <gst/video/video.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/dshow/decoder_lookup.h"
#include "platform/dshow/discovery_attempt.h"
#include "platform/dshow/duration_scan.h"
#include "platform/dshow/errors.h"
#include "platform/dshow/frame_time_scan.h"
#include "platform/gst/gst_handle.h"
#include "platform/gst/pipeline/picture_orientation.h"

namespace dshow {

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_;
};

HRESULT FromErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return E_ACCESSDENIED;
    case ENAMETOOLONG:
      return HRESULT_FILENAME_TOO_LONG;
    default:
      return HRESULT_FILE_NOT_FOUND;
  }
}

// Only a regular file that can be opened for reading goes to the discoverer:
// a folder, a device or a pipe would otherwise block or fail obscurely.
// What tells one version of a file from another: a file rewritten or
// replaced under the same name differs in at least one of these.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modifiedSeconds = 0;
  long modifiedNanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};

HRESULT CheckReadableFile(const std::string& path, FileIdentity& identity) {
  if (path.empty() || path.find('\0') != std::string::npos) return E_INVALIDARG;
  struct stat status = {};
  if (stat(path.c_str(), &status) != 0) return FromErrno(errno);
  identity = {status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec,
              status.st_mtim.tv_nsec};
  if (!S_ISREG(status.st_mode)) return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!file.IsOpen()) return FromErrno(errno);
  return S_OK;
}

HRESULT FromDiscoveryError(const GError* error) {
  if (!error) return VFW_E_INVALID_FILE_FORMAT;
  if (error->domain == GST_RESOURCE_ERROR) {
    if (error->code == GST_RESOURCE_ERROR_NOT_FOUND) return HRESULT_FILE_NOT_FOUND;
    if (error->code == GST_RESOURCE_ERROR_NOT_AUTHORIZED) return E_ACCESSDENIED;
    return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
  }
  if (error->domain == GST_STREAM_ERROR && (error->code == GST_STREAM_ERROR_TYPE_NOT_FOUND ||
                                            error->code == GST_STREAM_ERROR_WRONG_TYPE))
    return VFW_E_UNKNOWN_FILE_TYPE;
  return VFW_E_INVALID_FILE_FORMAT;
}

bool Answered(const gst::DiscovererInfoPtr& info) {
  if (!info) return false;
  const GstDiscovererResult result = gst_discoverer_info_get_result(info.get());
  return result == GST_DISCOVERER_OK || result == GST_DISCOVERER_MISSING_PLUGINS;
}

// A demuxer that fails the moment it starts reading, in its own thread, can
// have its error swallowed by decodebin while decodebin is still plugging it
// in (a race in GStreamer, seen in up to one discovery in twelve on a loaded
// machine); the discoverer then waits for its time-out. A local file reaches
// its streams in milliseconds, so the first attempt is cut short when it has
// reached none within a second; one that has is given its whole time, since
// it is only slow (a large picture of a stream without a parser, on a busy
// machine), and a second attempt would decode that picture again. After a
// cut, the second attempt reads the file in push mode, where the demuxer runs
// in the thread that plugs it in and the race cannot happen, and a broken
// file fails at once. When push mode reads the file, or also runs out of
// time, the first attempt was only slow: the file is read once more by its
// own address, with time to spare, since push mode loses the streams' ids
// and, for a file whose index is at its end, the duration.
gst::DiscovererInfoPtr Discover(const std::string& fileUri, gst::ErrorPtr& error,
                                bool& readInPushMode) {
  constexpr std::chrono::milliseconds kPatience{1000};
  constexpr std::chrono::seconds kLimit{kDiscoveryTimeoutSeconds};
  constexpr std::chrono::seconds kSlowFile = 4 * kLimit;
  // After a cut, what is left of a discovery's time.
  constexpr std::chrono::seconds kPushLimit = kLimit - std::chrono::seconds{1};
  readInPushMode = false;
  DiscoveryAttempt first = AttemptDiscovery(fileUri, kLimit, Patience{kPatience, {}});
  error = std::move(first.error);
  if (!first.timedOut) return std::move(first.info);
  if (!gst_uri_protocol_is_supported(GST_URI_SRC, "pushfile")) {
    DiscoveryAttempt slow = AttemptDiscovery(fileUri, kSlowFile);
    error = std::move(slow.error);
    return std::move(slow.info);
  }

  DiscoveryAttempt pushed = AttemptDiscovery("push" + fileUri, kPushLimit);
  error = std::move(pushed.error);
  if (!pushed.info || (!Answered(pushed.info) && !pushed.timedOut)) return std::move(pushed.info);
  DiscoveryAttempt again = AttemptDiscovery(fileUri, kSlowFile);
  if (Answered(again.info) || !Answered(pushed.info)) {
    error = std::move(again.error);
    return std::move(again.info);
  }
  readInPushMode = true;
  return std::move(pushed.info);
}

HRESULT FromDiscoveryResult(GstDiscovererResult result, const GError* error) {
  switch (result) {
    case GST_DISCOVERER_OK:
    case GST_DISCOVERER_MISSING_PLUGINS:
      return S_OK;
    case GST_DISCOVERER_TIMEOUT:
      return VFW_E_TIMEOUT;
    case GST_DISCOVERER_URI_INVALID:
      return HRESULT_FILE_NOT_FOUND;
    case GST_DISCOVERER_BUSY:
      return VFW_E_WRONG_STATE;
    default:
      return FromDiscoveryError(error);
  }
}

struct StreamListFree {
  void operator()(GList* list) const { gst_discoverer_stream_info_list_free(list); }
};
using StreamList = std::unique_ptr<GList, StreamListFree>;

std::string CapsText(GstCaps* caps) {
  if (!caps) return {};
  gst::CharPtr text(gst_caps_to_string(caps));
  return text.get();
}

void FillCommon(GstDiscovererStreamInfo* info, StreamInfo& stream, GstCaps* caps) {
  const gchar* id = gst_discoverer_stream_info_get_stream_id(info);
  stream.streamId = id ? id : "";
  stream.caps = CapsText(caps);
}

std::string DeclaredOrientation(GstDiscovererStreamInfo* info) {
  const GstTagList* tags = gst_discoverer_stream_info_get_tags(info);
  gchar* orientation = nullptr;
  if (!tags || !gst_tag_list_get_string(tags, GST_TAG_IMAGE_ORIENTATION, &orientation)) return {};
  const gst::CharPtr owned(orientation);
  return owned.get();
}

bool DeclaresFrameRate(const GstCaps* caps) {
  const GstStructure* format =
      caps && !gst_caps_is_empty(caps) ? gst_caps_get_structure(caps, 0) : nullptr;
  int numerator = 0;
  int denominator = 0;
  return format && gst_structure_get_fraction(format, "framerate", &numerator, &denominator) &&
         numerator > 0 && denominator > 0;
}

// Adds the streams of one kind; counts those no decoder accepts.
void AddStreams(GList* list, StreamKind kind, bool allDecodable, Discovery& found) {
  int index = 0;
  for (GList* item = list; item; item = item->next) {
    auto* info = GST_DISCOVERER_STREAM_INFO(item->data);
    StreamInfo stream;
    stream.kind = kind;
    if (kind == StreamKind::Video) {
      auto* video = GST_DISCOVERER_VIDEO_INFO(info);
      // A still image is not a video.
      if (gst_discoverer_video_info_is_image(video)) continue;
      stream.width = static_cast<int>(gst_discoverer_video_info_get_width(video));
      stream.height = static_cast<int>(gst_discoverer_video_info_get_height(video));
      stream.orientation = DeclaredOrientation(info);
      if (gst::TurnsAQuarter(stream.orientation)) std::swap(stream.width, stream.height);
      stream.frameRateNumerator =
          static_cast<int>(gst_discoverer_video_info_get_framerate_num(video));
      stream.frameRateDenominator =
          static_cast<int>(gst_discoverer_video_info_get_framerate_denom(video));
      stream.bitrate = gst_discoverer_video_info_get_bitrate(video);
    } else {
      auto* audio = GST_DISCOVERER_AUDIO_INFO(info);
      stream.channels = static_cast<int>(gst_discoverer_audio_info_get_channels(audio));
      stream.sampleRate = static_cast<int>(gst_discoverer_audio_info_get_sample_rate(audio));
      stream.bitsPerSample = static_cast<int>(gst_discoverer_audio_info_get_depth(audio));
      stream.bitrate = gst_discoverer_audio_info_get_bitrate(audio);
    }
    gst::CapsPtr caps(gst_discoverer_stream_info_get_caps(info));
    if (kind == StreamKind::Video && !DeclaresFrameRate(caps.get())) {
      // The rate then comes from the decoder the discovery tried, and is its
      // default (libav says 25 for Windows Media video at any rate): the
      // stream's own is measured instead.
      stream.frameRateNumerator = 0;
      stream.frameRateDenominator = 1;
    }
    FillCommon(info, stream, caps.get());
    const std::optional<std::string> decoder = DecoderFor(caps.get(), kind);
    if (!decoder && !allDecodable) {
      ++(kind == StreamKind::Video ? found.undecodableVideos : found.undecodableAudios);
      continue;
    }
    stream.decoder = decoder.value_or(std::string());
    stream.indexInKind = index++;
    found.streams.push_back(std::move(stream));
  }
}

// A video that declares no rate is given the average of its frame times, so
// that its frame time is known; a run makes its rate constant at that
// average. An average within 0.1 % of a usual rate is that rate: times
// kept in milliseconds (Windows Media) put 30 fps at 29.997. Without two
// timed frames it stays unknown.
void MeasureFrameRate(const std::string& uri, StreamInfo& stream) {
  const std::optional<double> frameTime =
      MeasureFrameTime(uri, stream.streamId, stream.indexInKind);
  if (!frameTime || *frameTime <= 0) return;
  int numerator = 0, denominator = 1;
  // Another average is kept as a short fraction: encoders refuse long ones.
  if (!gst_video_guess_framerate(static_cast<GstClockTime>(std::llround(*frameTime * GST_SECOND)),
                                 &numerator, &denominator))
    gst_util_double_to_fraction(1.0 / *frameTime, &numerator, &denominator);
  if (numerator <= 0 || denominator <= 0) return;
  stream.frameRateNumerator = numerator;
  stream.frameRateDenominator = denominator;
  stream.frameRateMeasured = true;
}

// Discovers a readable file afresh.
Discovery DiscoverReadableFile(const std::string& path) {
  Discovery found;
  GError* uriError = nullptr;
  gst::CharPtr uri(gst_filename_to_uri(path.c_str(), &uriError));
  const gst::ErrorPtr uriErrorOwner(uriError);
  if (!uri) {
    found.result = E_INVALIDARG;
    return found;
  }
  found.uri = uri.get();

  gst::ErrorPtr error;
  bool readInPushMode = false;
  const gst::DiscovererInfoPtr info = Discover(found.uri, error, readInPushMode);
  if (error) found.detail = error.get()->message;
  if (!info) {
    found.result = VFW_E_CANNOT_LOAD_SOURCE_FILTER;
    return found;
  }
  const GstDiscovererResult result = gst_discoverer_info_get_result(info.get());
  if (result != GST_DISCOVERER_OK && result != GST_DISCOVERER_MISSING_PLUGINS) {
    found.result = FromDiscoveryResult(result, error.get());
    return found;
  }

  const GstClockTime duration = gst_discoverer_info_get_duration(info.get());
  if (GST_CLOCK_TIME_IS_VALID(duration) && duration > 0)
    found.duration = static_cast<REFERENCE_TIME>(duration / 100);

  const bool allDecodable = result == GST_DISCOVERER_OK;
  StreamList videos(gst_discoverer_info_get_video_streams(info.get()));
  StreamList audios(gst_discoverer_info_get_audio_streams(info.get()));
  AddStreams(videos.get(), StreamKind::Video, allDecodable, found);
  AddStreams(audios.get(), StreamKind::Audio, allDecodable, found);
  // Stream ids derive from the address the file was read by; ids seen in
  // push mode would match nothing a later run announces.
  if (readInPushMode)
    for (StreamInfo& stream : found.streams) stream.streamId.clear();
  for (StreamInfo& stream : found.streams)
    if (stream.kind == StreamKind::Video && stream.frameRateNumerator <= 0)
      MeasureFrameRate(found.uri, stream);

  // A demultiplexer that cannot tell the length gives none (a broadcast clock
  // that wraps around inside the file) or a guess from its last cluster that
  // can fall far short (a WebM recorded live). A length under a second is
  // read through; it can only grow.
  constexpr REFERENCE_TIME kTrustedLength = 10'000'000;
  if (!found.streams.empty() && found.duration.value_or(0) < kTrustedLength)
    if (const std::optional<GstClockTime> measured = MeasureDuration(found.uri))
      found.duration =
          std::max(found.duration.value_or(0), static_cast<REFERENCE_TIME>(*measured / 100));

  if (found.streams.empty())
    found.result = result == GST_DISCOVERER_MISSING_PLUGINS ||
                           found.undecodableVideos + found.undecodableAudios > 0
                       ? VFW_E_CANNOT_RENDER
                       : VFW_E_UNSUPPORTED_STREAM;
  return found;
}

}  // namespace

// Opening a video probes it and then builds its graph, and every run ends
// by building it again: the last file's discovery is kept, and used while
// the file is the same version, so those steps do not decode its start anew.
Discovery DiscoverFile(const std::string& path) {
  Discovery found;
  FileIdentity identity;
  found.result = CheckReadableFile(path, identity);
  if (FAILED(found.result)) return found;

  struct Kept {
    std::string path;
    FileIdentity identity;
    Discovery discovery;
  };
  static std::mutex mutex;
  static std::optional<Kept> kept;
  {
    std::lock_guard lock(mutex);
    if (kept && kept->path == path && kept->identity == identity) return kept->discovery;
  }
  found = DiscoverReadableFile(path);
  // Failures are not kept: a time-out may not recur, and a file that
  // failed is usually replaced before it is tried again.
  if (found.result == S_OK) {
    std::lock_guard lock(mutex);
    kept = Kept{path, identity, found};
  }
  return found;
}

}  // namespace dshow
