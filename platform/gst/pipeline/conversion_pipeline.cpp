#include "platform/gst/pipeline/conversion_pipeline.h"

#include <gst/pbutils/pbutils.h>
#include <sys/stat.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/gst/element_maker.h"
#include "platform/gst/pipeline/branch.h"
#include "platform/gst/pipeline/output_file.h"
#include "platform/gst/pipeline/pipeline_errors.h"
#include "platform/gst/pipeline/video_decoders.h"
#include "platform/gst/workarounds/input/input_mends.h"
#include "platform/gst/workarounds/output/output_mends.h"
#include "platform/threads/thread_order.h"

namespace gst {

namespace {

const char* KindName(StreamKind kind) { return kind == StreamKind::Video ? "video" : "audio"; }

// How long a stopped run left to finish on its own thread is given before
// it is shut down as it stands.
constexpr auto kFinishApartLimit = std::chrono::seconds(60);

// Pipelines being shut down on threads of their own.
std::mutex apartMutex;
std::condition_variable apartChanged;
int apartCount = 0;

// Which file a source is and how long, to tell whether it was cut short or
// replaced while it was read. It may grow (a recording still being made).
struct SourceIdentity {
  dev_t device;
  ino_t inode;
  off_t size;

  static std::optional<SourceIdentity> Of(const std::string& path) {
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return SourceIdentity{status.st_dev, status.st_ino, status.st_size};
  }
  bool ChangedSince(const std::string& path) const {
    const auto now = Of(path);
    // A source removed while it was read was read whole: the run held it.
    if (!now) return false;
    return now->device != device || now->inode != inode || now->size < size;
  }
};

std::optional<StreamKind> KindOf(GstCaps* caps) {
  if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps)) return std::nullopt;
  const std::string_view name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  if (name.starts_with("video/")) return StreamKind::Video;
  if (name.starts_with("audio/")) return StreamKind::Audio;
  return std::nullopt;
}

}  // namespace

class ConversionPipeline::Impl {
 public:
  Impl(PipelineDescription description, PipelineEventHandler handler)
      : description_(std::move(description)), handler_(std::move(handler)) {
    for (BranchDescription& branch : description_.branches)
      branches_.push_back(std::make_unique<Branch>(std::move(branch)));
    description_.branches.clear();
  }

  ~Impl() { Shutdown(); }

  Result<void> Start() {
    const Result<void> built = Build();
    // The callbacks below start from what Build set up (thread_order.h).
    threads::ReleaseState(this);
    const bool started =
        built && (!description_.range || FindRange()) &&
        gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    std::unique_lock lock(mutex_);
    // A part that cannot be made or a file that cannot be opened fails the
    // state change: a refusal to start, told with the error it posted. An
    // error the streams meet meanwhile (a decoder found missing as the
    // source is read) ends a run that did start, as it does a moment later
    // on a busier machine: it goes out as the run's end, below.
    if (!started) {
      Reason refused{!built        ? built.error()
                     : firstError_ ? firstError_->message
                                   : "The pipeline refused to start."};
      ended_ = true;
      failed_ = true;
      pending_.clear();
      lock.unlock();
      Shutdown();
      return refused;
    }
    deliver_ = true;
    // An end that came while starting goes out now, outside the lock.
    std::vector<PipelineEvent> pending;
    pending.swap(pending_);
    ++delivering_;
    lock.unlock();
    for (const PipelineEvent& event : pending) handler_(event);
    lock.lock();
    --delivering_;
    changed_.notify_all();
    return {};
  }

  // Ends the streams (unless EndStreams did) and waits up to `wait` for the
  // writer; after EndStreams it does not wait again. No event is handed
  // over once it returns. What is left to do is Shutdown, which the caller
  // runs at once when the run ended, or apart when the writer is still busy.
  StopResult Stop(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    StopDelivering(lock);
    if (!pipeline_ || ended_)
      return failed_ || firstError_ ? StopResult::Failed : StopResult::Finished;
    const bool ending = stopping_;  // EndStreams came first
    lock.unlock();
    EndWithoutWaiting();
    lock.lock();
    const bool ended = changed_.wait_for(lock, ending ? std::chrono::milliseconds(0) : wait,
                                         [this] { return ended_; });
    if (!ended) return StopResult::TimedOut;
    return firstError_ ? StopResult::Failed : StopResult::Finished;
  }

  // Whether shutting down can wait for streaming threads that may never
  // return (a writer stuck in the file system): a run still going.
  bool Busy() {
    std::unique_lock lock(mutex_);
    StopDelivering(lock);
    return pipeline_ && !ended_;
  }

  // Lets a run that was stopped finish on the calling thread: the streams
  // are ended (if they were not) and the writer is given up to `limit` to
  // write what they hold, so the file is whole when the writer is merely
  // slow.
  void Finish(std::chrono::milliseconds limit) {
    EndWithoutWaiting();
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [this] { return ended_; });
  }

  // Sending the end into a branch waits while its queue is full, so it is
  // sent from a thread of its own that Shutdown joins.
  void EndWithoutWaiting() {
    {
      std::lock_guard lock(mutex_);
      if (!pipeline_ || ended_ || stopping_) return;
      stopping_ = true;
    }
    ender_ = std::thread([this] { EndStreams(); });
  }

  // Pauses the pipeline until the source's streams are linked, then seeks
  // exactly to the range: what was decoded before the seek never goes on
  // (SkipUntilSeeked). False when the run ended first or the source refused.
  bool FindRange() {
    if (gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
      return false;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return padsDone_ || ended_; });
      if (ended_) return false;
    }
    const TimeRange& range = *description_.range;
    return gst_element_seek(pipeline_.get(), 1.0, GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                            GST_SEEK_TYPE_SET, static_cast<gint64>(range.start), GST_SEEK_TYPE_SET,
                            static_cast<gint64>(range.stop));
  }

  // Drops the pad's data until the flush of the seek to the range has
  // passed it.
  static PadProbe SkipUntilSeeked(GstPad* pad) {
    return PadProbe(
        pad,
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST |
                                     GST_PAD_PROBE_TYPE_EVENT_FLUSH),
        &ShownToThreads<&DropUntilFlushed>, new bool(false),
        [](gpointer seeked) { delete static_cast<bool*>(seeked); });
  }

  static GstPadProbeReturn DropUntilFlushed(GstPad*, GstPadProbeInfo* info, gpointer data) {
    bool& seeked = *static_cast<bool*>(data);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_FLUSH) {
      if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_FLUSH_STOP) seeked = true;
      return GST_PAD_PROBE_OK;
    }
    return seeked ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
  }

  // Whether decodebin is to stop at this pad and expose what it carries
  // undecoded: an elementary stream of a kind no branch takes, where only
  // taken kinds are decoded.
  static gboolean OnAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer data) {
    const threads::StateVisit shown(data);
    const auto& self = *static_cast<Impl*>(data);
    const auto kind = KindOf(caps);
    if (!kind || IsContainer(caps)) return TRUE;
    for (const auto& branch : self.branches_)
      if (branch->kind() == *kind && branch->TakesDecoded()) return TRUE;
    return FALSE;
  }

  // Whether a demuxer takes these caps: a file, whatever kind its name says.
  static bool IsContainer(GstCaps* caps) {
    GList* demuxers =
        gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DEMUXER, GST_RANK_MARGINAL);
    GList* taking = gst_element_factory_list_filter(demuxers, caps, GST_PAD_SINK, FALSE);
    const bool container = taking != nullptr;
    gst_plugin_feature_list_free(taking);
    gst_plugin_feature_list_free(demuxers);
    return container;
  }

  std::optional<std::int64_t> Position() const {
    std::optional<std::int64_t> slowest;
    for (const auto& branch : branches_) {
      if (!branch->attached()) continue;
      const auto position = branch->Position();
      if (!position) return std::nullopt;  // a stream without data yet holds the file back
      if (!slowest || *position < *slowest) slowest = position;
    }
    return slowest;
  }

  std::optional<PipelineEvent::Failure> FirstFailure() const {
    std::lock_guard lock(mutex_);
    if (!firstError_) return std::nullopt;
    return firstError_->failure;
  }

  std::optional<std::int64_t> Duration() const {
    for (const auto& branch : branches_)
      if (auto duration = branch->Duration()) return duration;
    return std::nullopt;
  }

 private:
  Result<void> Build() {
    source_ = SourceIdentity::Of(description_.sourcePath);
    pipeline_ = ElementPtr(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("conversion"))));
    Result<ElementPtr> source = MakeElement("filesrc");
    if (!source) return source.reason();
    Result<ElementPtr> decoder = MakeElement("decodebin");
    if (!decoder) return decoder.reason();
    decoder_ = std::move(*decoder);
    SetUpVideoDecoders(decoder_.get());
    g_object_set(source->get(), "location", description_.sourcePath.c_str(), nullptr);
    GstBin* bin = GST_BIN(pipeline_.get());
    gst_bin_add_many(bin, source->get(), decoder_.get(), nullptr);
    if (!gst_element_link(source->get(), decoder_.get()))
      return Reason{"The source cannot be given to its decoder."};
    MendInput(source->get(), decoder_.get(), description_.sourcePath);

    if (description_.muxer) {
      Result<ElementPtr> muxer = MakeElement(*description_.muxer);
      if (!muxer) return muxer.reason();
      Result<ElementPtr> writer = MakeElement("filesink");
      if (!writer) return writer.reason();
      muxer_ = std::move(*muxer);
      writer_ = std::move(*writer);
      Result<OutputFile> output = OutputFile::Begin(description_.outputPath);
      if (!output) {
        std::lock_guard lock(mutex_);
        firstError_ = PipelineEvent{
            PipelineEvent::Kind::Error, PipelineEvent::Failure::Write, output.error(), {}};
        return output.reason();
      }
      output_.emplace(std::move(*output));
      g_object_set(writer_.get(), "location", output_->WritingPath().c_str(), nullptr);
      gst_bin_add_many(bin, muxer_.get(), writer_.get(), nullptr);
      if (!gst_element_link(muxer_.get(), writer_.get()))
        return Reason{"The container cannot be written to a file."};
    }
    for (const auto& branch : branches_)
      if (Result<void> built = branch->Build(bin, muxer_.get()); !built) return built;
    outputMends_ = OutputMends::For(muxer_.get());

    g_signal_connect(decoder_.get(), "pad-added", G_CALLBACK(&Impl::OnPadAdded), this);
    g_signal_connect(decoder_.get(), "no-more-pads", G_CALLBACK(&Impl::OnNoMorePads), this);
    if (description_.decodeTakenKindsOnly)
      g_signal_connect(decoder_.get(), "autoplug-continue", G_CALLBACK(&Impl::OnAutoplugContinue),
                       this);
    BusPtr bus(gst_element_get_bus(pipeline_.get()));
    gst_bus_set_sync_handler(bus.get(), &Impl::OnMessage, this, nullptr);
    return {};
  }

  // Ends every stream where it enters its branch (or its drain), so that
  // what waits inside the decoder is not written after the stop point.
  void EndStreams() {
    for (const auto& branch : branches_) branch->End();
    std::vector<PadPtr> drains;
    {
      std::lock_guard lock(mutex_);
      for (const PadPtr& drain : drains_) drains.push_back(Borrow(drain.get()));
    }
    for (const PadPtr& drain : drains) gst_pad_send_event(drain.get(), gst_event_new_eos());
  }

  // Stops every thread of the pipeline, then gives back what the caller owns.
  // Waits for every streaming thread, however long the writer takes. A run
  // that failed takes away the file it wrote, which no player could open,
  // and leaves the output's name as it was; a run stopped before its writer
  // finished keeps what it wrote.
  void Shutdown() {
    if (!pipeline_) return;
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    threads::AcquireState(this);  // what the streaming threads' callbacks left
    bool failed = false;
    {
      std::lock_guard lock(mutex_);
      failed = failed_ || firstError_.has_value();
    }
    if (output_ && !failed) (void)output_->Keep();
    output_.reset();
    if (ender_.joinable()) ender_.join();  // its sends end once the pads flush
    BusPtr bus(gst_element_get_bus(pipeline_.get()));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    GstBin* bin = GST_BIN(pipeline_.get());
    outputMends_.reset();
    skips_.clear();
    for (const auto& branch : branches_) branch->Release(bin);
    if (muxer_ && GST_OBJECT_PARENT(muxer_.get()) == GST_OBJECT(bin))
      gst_bin_remove(bin, muxer_.get());
    pipeline_.Reset();
  }

  static void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
    const threads::StateVisit shown(data);
    static_cast<Impl*>(data)->Route(pad);
  }

  static void OnNoMorePads(GstElement*, gpointer data) {
    const threads::StateVisit shown(data);
    auto& self = *static_cast<Impl*>(data);
    self.CheckStreams();
    std::lock_guard lock(self.mutex_);
    self.padsDone_ = true;
    self.changed_.notify_all();
  }

  // Each decoded pad goes to the branch that asked for its stream, or is
  // drained so that it never holds the others back.
  void Route(GstPad* pad) {
    CapsPtr caps(gst_pad_get_current_caps(pad));
    if (!caps) caps = CapsPtr(gst_pad_query_caps(pad, nullptr));
    const auto kind = KindOf(caps.get());
    const CharPtr streamId(gst_pad_get_stream_id(pad));
    Branch* target = nullptr;
    {
      std::lock_guard lock(mutex_);
      if (kind) {
        const int index = seen_[*kind == StreamKind::Video ? 0 : 1]++;
        for (const auto& branch : branches_)
          if (branch->kind() == *kind && !branch->attached() &&
              branch->Takes(streamId.get(), index))
            target = branch.get();
      }
    }
    if (target) {
      if (description_.range) {
        PadProbe skip = SkipUntilSeeked(pad);
        std::lock_guard lock(mutex_);
        skips_.push_back(std::move(skip));
      }
      if (!target->Attach(pad, caps.get()))
        PostFailure(decoder_.get(), PipelineEvent::Failure::Negotiation,
                    std::string("The ") + KindName(*kind) + " stream cannot be converted.");
      return;
    }
    // A stream left undrained would hold the others back until the queues
    // fill: the run ends instead.
    Result<ElementPtr> made = MakeElement("fakesink");
    if (!made) {
      PostFailure(decoder_.get(), PipelineEvent::Failure::Other, made.error());
      return;
    }
    ElementPtr drain = std::move(*made);
    g_object_set(drain.get(), "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(pipeline_.get()), drain.get());
    gst_element_sync_state_with_parent(drain.get());
    PadPtr sink(gst_element_get_static_pad(drain.get(), "sink"));
    if (GST_PAD_LINK_FAILED(gst_pad_link(pad, sink.get()))) {
      PostFailure(decoder_.get(), PipelineEvent::Failure::Other,
                  "A stream the run does not convert cannot be set aside.");
      return;
    }
    bool stopping = false;
    {
      std::lock_guard lock(mutex_);
      drains_.push_back(Borrow(sink.get()));
      stopping = stopping_;
    }
    // A stream that appears while stopping ends at once.
    if (stopping) gst_pad_send_event(sink.get(), gst_event_new_eos());
  }

  // A described stream that did not appear has no decoder, or is not there.
  void CheckStreams() {
    for (const auto& branch : branches_) {
      if (branch->attached()) continue;
      std::string missing;
      {
        std::lock_guard lock(mutex_);
        missing = missingPlugin_;
      }
      const char* kind = KindName(branch->kind());
      if (!missing.empty())
        PostFailure(
            decoder_.get(), PipelineEvent::Failure::MissingDecoder,
            "No decoder is installed for the " + std::string(kind) + " stream (" + missing + ").");
      else
        PostFailure(decoder_.get(), PipelineEvent::Failure::MissingStream,
                    "The source has no " + std::string(kind) + " stream " +
                        std::to_string(branch->streamIndex() + 1) + ".");
      return;
    }
  }

  // Runs on whichever thread posts; only records and hands over. Every
  // message is dropped here, and a handler that drops a message owns it:
  // kept, each would hold its element (and so the whole pipeline, with its
  // buses' descriptors and its threads' resources) for the life of the
  // process.
  static GstBusSyncReply OnMessage(GstBus*, GstMessage* raw, gpointer data) {
    const threads::StateVisit shown(data);
    const MessagePtr owned(raw);
    GstMessage* message = owned.get();
    auto& self = *static_cast<Impl*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_EOS:
        self.End(self.Completion());
        break;
      case GST_MESSAGE_ERROR:
        self.End(self.Named(ErrorEvent(message, self.writer_.get())));
        break;
      case GST_MESSAGE_ELEMENT:
        if (gst_is_missing_plugin_message(message)) {
          CharPtr what(gst_missing_plugin_message_get_description(message));
          std::lock_guard lock(self.mutex_);
          if (self.missingPlugin_.empty() && what) self.missingPlugin_ = what.get();
        }
        break;
      default:
        break;
    }
    return GST_BUS_DROP;
  }

  // Whether a stream reached its end without its format ever reaching a
  // muxer that then writes a file no reader opens: a sound whose decoder
  // never gave any (a stream of one frame the parser misread) leaves the AVI
  // writer's header with a sample rate of 0 and the MP4 writer's track
  // without its description. The Matroska writer leaves the track empty.
  bool MuxerInputWithoutFormat() const {
    if (!muxer_) return false;
    const std::string_view muxer = FactoryNameOf(muxer_.get());
    if (muxer != "avimux" && muxer != "mp4mux") return false;
    bool without = false;
    gst_element_foreach_sink_pad(
        muxer_.get(),
        [](GstElement*, GstPad* pad, gpointer found) -> gboolean {
          if (gst_pad_has_current_caps(pad)) return TRUE;
          *static_cast<bool*>(found) = true;
          return FALSE;
        },
        &without);
    return without;
  }

  // An error's texts name the output, never the file written under its
  // temporary name.
  PipelineEvent Named(PipelineEvent event) const {
    if (!output_) return event;
    for (std::string* text : {&event.message, &event.detail}) {
      for (std::size_t at = text->find(output_->WritingPath()); at != std::string::npos;
           at = text->find(output_->WritingPath(), at + description_.outputPath.size()))
        text->replace(at, output_->WritingPath().size(), description_.outputPath);
    }
    return event;
  }

  // The end of all streams; the source must be the file that was read, the
  // output still where it was written, with every stream's format, and it
  // then takes the output's name.
  PipelineEvent Completion() {
    PipelineEvent event;
    std::error_code ignored;
    if (source_ && source_->ChangedSince(description_.sourcePath)) {
      // A source cut short or replaced while it was read ends early, as if
      // its end had come: the file would hold part of it.
      event.kind = PipelineEvent::Kind::Error;
      event.failure = PipelineEvent::Failure::UnreadableSource;
      event.message = "The source \"" + description_.sourcePath + "\" changed while it was read.";
    } else if (output_ && !std::filesystem::exists(output_->WritingPath(), ignored)) {
      event.kind = PipelineEvent::Kind::Error;
      event.failure = PipelineEvent::Failure::Write;
      event.message =
          "The output file \"" + description_.outputPath + "\" disappeared while it was written.";
    } else if (MuxerInputWithoutFormat()) {
      // A stop may end a stream before its format is agreed; End lets that be.
      event.kind = PipelineEvent::Kind::Error;
      event.failure = PipelineEvent::Failure::Negotiation;
      event.message = "A stream of the source gave nothing that could be converted.";
    } else if (output_) {
      if (const Result<void> kept = output_->Keep(); !kept) {
        event.kind = PipelineEvent::Kind::Error;
        event.failure = PipelineEvent::Failure::Write;
        event.message = kept.error();
      }
    }
    return event;
  }

  // Records the first end of the run and reports it once. The handler is
  // called with no lock held; StopDelivering waits for a call under way, so
  // none runs once Stop or the destructor has switched delivery off.
  void End(PipelineEvent event) {
    std::unique_lock lock(mutex_);
    if (ended_) return;
    // Streams ended before their formats were agreed leave the muxer
    // without them: that is the stop taking effect early, not a failure.
    if (stopping_ && event.kind == PipelineEvent::Kind::Error &&
        event.failure == PipelineEvent::Failure::Negotiation)
      event = PipelineEvent{};
    ended_ = true;
    if (event.kind == PipelineEvent::Kind::Error) firstError_ = event;
    changed_.notify_all();
    if (!deliver_) {
      if (!stopping_) pending_.push_back(event);
      return;
    }
    ++delivering_;
    lock.unlock();
    handler_(event);
    lock.lock();
    --delivering_;
    changed_.notify_all();
  }

  // No event is handed over from now on; one being handed over is awaited
  // (it only queues or posts).
  void StopDelivering(std::unique_lock<std::mutex>& lock) {
    deliver_ = false;
    changed_.wait(lock, [this] { return delivering_ == 0; });
  }

  PipelineDescription description_;
  PipelineEventHandler handler_;
  std::vector<std::unique_ptr<Branch>> branches_;
  ElementPtr pipeline_;
  ElementPtr decoder_;
  ElementPtr muxer_;
  ElementPtr writer_;
  std::unique_ptr<OutputMends> outputMends_;  // what the writer writes wrong, mended
  std::optional<OutputFile> output_;          // the file the writer writes
  std::optional<SourceIdentity> source_;      // the source as the run found it

  mutable std::mutex mutex_;  // guards what follows
  std::condition_variable changed_;
  bool deliver_ = false;   // events go to the handler (started, not stopping)
  int delivering_ = 0;     // handler calls under way
  bool stopping_ = false;  // the streams were ended here (Stop or EndStreams)
  std::thread ender_;      // sends the end for EndStreams
  bool ended_ = false;     // end of stream or an error came
  bool failed_ = false;    // Start refused
  std::optional<PipelineEvent> firstError_;
  std::vector<PipelineEvent> pending_;  // ends that came before Start returned
  std::string missingPlugin_;
  std::vector<PadPtr> drains_;   // sink pads of the drained streams
  std::vector<PadProbe> skips_;  // what comes before the seek to the range
  bool padsDone_ = false;        // every stream of the source was routed
  int seen_[2] = {0, 0};         // decoded video and audio pads so far
};

ConversionPipeline::ConversionPipeline(PipelineDescription description,
                                       PipelineEventHandler handler)
    : impl_(std::make_unique<Impl>(std::move(description), std::move(handler))) {}

ConversionPipeline::~ConversionPipeline() {
  if (impl_ && impl_->Busy()) ShutDownApart();
}

// Setting a pipeline to NULL waits for its streaming threads; a writer stuck
// in the file system would hold the caller as long. So a run that has not
// ended is left to finish on a thread of its own, which then shuts it down
// and releases it.
void ConversionPipeline::ShutDownApart() {
  {
    std::lock_guard lock(apartMutex);
    ++apartCount;
  }
  std::thread([impl = std::move(impl_)]() mutable {
    impl->Finish(kFinishApartLimit);
    impl.reset();
    std::lock_guard lock(apartMutex);
    --apartCount;
    apartChanged.notify_all();
  }).detach();
}

Result<void> ConversionPipeline::Start() { return impl_->Start(); }

ConversionPipeline::StopResult ConversionPipeline::Stop(std::chrono::milliseconds wait) {
  if (stopped_) return *stopped_;
  stopped_ = impl_->Stop(wait);
  if (*stopped_ == StopResult::TimedOut) ShutDownApart();
  else impl_.reset();
  return *stopped_;
}

void ConversionPipeline::EndStreams() {
  if (impl_) impl_->EndWithoutWaiting();
}

std::optional<std::int64_t> ConversionPipeline::Position() const {
  return impl_ ? impl_->Position() : std::nullopt;
}

std::optional<std::int64_t> ConversionPipeline::Duration() const {
  return impl_ ? impl_->Duration() : std::nullopt;
}

std::optional<PipelineEvent::Failure> ConversionPipeline::FirstFailure() const {
  return impl_ ? impl_->FirstFailure() : std::nullopt;
}

bool ConversionPipeline::WaitUntilShutDown(std::chrono::milliseconds limit) {
  std::unique_lock lock(apartMutex);
  return apartChanged.wait_for(lock, limit, [] { return apartCount == 0; });
}

}  // namespace gst
