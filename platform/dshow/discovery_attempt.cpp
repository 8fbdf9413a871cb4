#include "platform/dshow/discovery_attempt.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>

#include "platform/dshow/parsed_video.h"
#include "platform/gst/element_maker.h"
#include "platform/gst/workarounds/input/input_mends.h"
#include "platform/threads/thread_order.h"

namespace dshow {

namespace {

// What decodebin plugs in once a demuxer has exposed a stream (or, for a
// file without a container, once the stream's type is known).
bool ReachesAStream(GstElement* element) {
  const std::string_view kinds = gst::KlassOf(element);
  return kinds.find("Parser") != std::string_view::npos ||
         kinds.find("Decoder") != std::string_view::npos;
}

// What the watch and the decoding bin's streaming threads share. The bin's
// signal handler keeps its own share, so a handler still running when the
// watch ends never touches freed state.
struct Progress {
  std::mutex mutex;  // guards what follows
  std::condition_variable changed;
  gst::ElementPtr decoding;  // the discoverer's decoding bin, once known
  gulong handler = 0;        // its handler for the elements added
  bool reached = false;
  bool finished = false;
  bool cutShort = false;
};
using SharedProgress = std::shared_ptr<Progress>;

// Watches one discoverer from the moment its source is made; on a thread of
// its own, cuts the discovery short when no stream was reached in time, by
// posting the error that the swallowed one would have been.
class StreamWatch {
 public:
  StreamWatch(GstDiscoverer* discoverer, Patience patience)
      : discoverer_(discoverer), progress_(std::make_shared<Progress>()) {
    g_signal_connect(discoverer, "source-setup", G_CALLBACK(&StreamWatch::OnSourceSetup), this);
    timer_ = std::thread(
        [progress = progress_, patience = std::move(patience)] { Watch(*progress, patience); });
  }
  StreamWatch(const StreamWatch&) = delete;
  StreamWatch& operator=(const StreamWatch&) = delete;

  ~StreamWatch() {
    Finish();
    g_signal_handlers_disconnect_by_data(discoverer_, this);
    gst::ElementPtr decoding;
    gulong handler = 0;
    {
      const std::lock_guard lock(progress_->mutex);
      decoding = std::move(progress_->decoding);
      handler = progress_->handler;
    }
    if (decoding && handler) g_signal_handler_disconnect(decoding.get(), handler);
  }

  // The discovery has returned: the watch ends, and cuts nothing from now on.
  void Finish() {
    {
      const std::lock_guard lock(progress_->mutex);
      progress_->finished = true;
      progress_->changed.notify_all();
    }
    if (timer_.joinable()) timer_.join();
  }

  bool CutShort() const {
    const std::lock_guard lock(progress_->mutex);
    return progress_->cutShort;
  }

 private:
  // On the discovering thread, as the source is added to the decoding bin.
  static void OnSourceSetup(GstDiscoverer*, GstElement* source, gpointer data) {
    const SharedProgress& shared = static_cast<StreamWatch*>(data)->progress_;
    Progress& progress = *shared;
    gst::ElementPtr bin(GST_ELEMENT_CAST(gst_object_get_parent(GST_OBJECT_CAST(source))));
    if (!bin || !GST_IS_BIN(bin.get())) return;
    // The handler's share of the progress goes with its closure.
    auto* share = new SharedProgress(shared);
    threads::ReleaseState(share);  // for the streaming threads
    const gulong handler = g_signal_connect_data(
        bin.get(), "deep-element-added", G_CALLBACK(&StreamWatch::OnElementAdded), share,
        [](gpointer owned, GClosure*) {
          threads::AcquireState(owned);
          delete static_cast<SharedProgress*>(owned);
        },
        GConnectFlags{});
    const std::lock_guard lock(progress.mutex);
    progress.decoding = std::move(bin);
    progress.handler = handler;
  }

  // On whichever streaming thread plugs the element in.
  static void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer data) {
    if (!ReachesAStream(element)) return;
    const threads::StateVisit shown(data);
    Progress& progress = **static_cast<SharedProgress*>(data);
    const std::lock_guard lock(progress.mutex);
    progress.reached = true;
    progress.changed.notify_all();
  }

  static void Watch(Progress& progress, const Patience& patience) {
    if (patience.wait) {
      patience.wait([&progress] { TimeUp(progress); });
      return;
    }
    {
      std::unique_lock lock(progress.mutex);
      progress.changed.wait_for(lock, patience.time,
                                [&] { return progress.finished || progress.reached; });
    }
    TimeUp(progress);
  }

  // Cuts the discovery short unless it has reached a stream or ended. Without
  // a source there is nothing to post to; the discoverer's own limit then
  // ends it.
  static void TimeUp(Progress& progress) {
    gst::ElementPtr target;
    {
      const std::lock_guard lock(progress.mutex);
      if (progress.finished || progress.reached || !progress.decoding) return;
      target = gst::ElementPtr(GST_ELEMENT_CAST(gst_object_ref(progress.decoding.get())));
      progress.cutShort = true;
    }
    const gst::ErrorPtr error(g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_FAILED,
                                                  "No stream was reached in time."));
    gst_element_post_message(
        target.get(), gst_message_new_error(GST_OBJECT_CAST(target.get()), error.get(), nullptr));
  }

  GstDiscoverer* discoverer_;
  SharedProgress progress_;
  std::thread timer_;
};

}  // namespace

DiscoveryAttempt AttemptDiscovery(const std::string& uri, std::chrono::seconds limit,
                                  std::optional<Patience> patience) {
  DiscoveryAttempt attempt;
  GError* createError = nullptr;
  const gst::DiscovererPtr discoverer(
      gst_discoverer_new(static_cast<GstClockTime>(limit.count()) * GST_SECOND, &createError));
  const gst::ErrorPtr createErrorOwner(createError);
  if (!discoverer) return attempt;
  LearnVideoFromItsParser(discoverer.get());
  g_signal_connect(discoverer.get(), "source-setup",
                   G_CALLBACK(+[](GstDiscoverer*, GstElement* source, gpointer) {
                     gst::MendSourceBytes(source);
                   }),
                   nullptr);
  std::optional<StreamWatch> watch;
  if (patience) watch.emplace(discoverer.get(), std::move(*patience));

  GError* discoverError = nullptr;
  attempt.info = gst::DiscovererInfoPtr(
      gst_discoverer_discover_uri(discoverer.get(), uri.c_str(), &discoverError));
  attempt.error.Reset(discoverError);
  if (watch) watch->Finish();
  if (!attempt.info) return attempt;

  const GstDiscovererResult result = gst_discoverer_info_get_result(attempt.info.get());
  // A cut that came as the discovery ended on its own changes nothing.
  const bool cut = watch && watch->CutShort() && result == GST_DISCOVERER_ERROR;
  if (cut) attempt.error.Reset();  // the words are the watch's, not the file's
  attempt.timedOut = cut || result == GST_DISCOVERER_TIMEOUT;
  return attempt;
}

}  // namespace dshow
