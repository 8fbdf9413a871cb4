#pragma once
// A probe on a pad that goes when its owner does. Elements can outlive a run
// (a caller's encoder serves the next run too), so nothing a run installs
// may stay on their pads.

#include <gst/gst.h>

#include <utility>

#include "platform/gst/gst_handle.h"
#include "platform/threads/thread_order.h"

namespace gst {

// A probe's callback as ThreadSanitizer is to see it, for a probe that is
// set on a pipeline already running (PadProbe shows those set before it
// plays): what the threads before did to the state `data` and to the buffer
// or event is seen before `Callback`, and what it does is seen after it.
template <GstPadProbeReturn (*Callback)(GstPad*, GstPadProbeInfo*, gpointer)>
GstPadProbeReturn ShownToThreads(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  const threads::StateVisit visit(data);
  threads::AcquireState(GST_PAD_PROBE_INFO_DATA(info));
  const GstPadProbeReturn result = Callback(pad, info, data);
  threads::ReleaseState(GST_PAD_PROBE_INFO_DATA(info));
  return result;
}

class PadProbe {
 public:
  PadProbe() = default;
  // Installs the probe; `data` is handed to `destroy` when the probe goes.
  // Installed before the pipeline plays: `data` is the state its calls share
  // (thread_order.h).
  PadProbe(GstPad* pad, GstPadProbeType type, GstPadProbeCallback callback, gpointer data,
           GDestroyNotify destroy)
      : pad_(Borrow(pad)) {
    if constexpr (threads::kThreadOrderShown) {
      auto* visit = new Visit{callback, data, destroy};
      threads::ReleaseState(data);
      threads::ReleaseState(visit);
      id_ = gst_pad_add_probe(pad, type, &Visited, visit, &Drop);
    } else {
      id_ = gst_pad_add_probe(pad, type, callback, data, destroy);
    }
  }
  PadProbe(PadProbe&& other) noexcept
      : pad_(std::move(other.pad_)), id_(std::exchange(other.id_, 0)) {}
  PadProbe& operator=(PadProbe&& other) noexcept {
    if (this != &other) {
      Remove();
      pad_ = std::move(other.pad_);
      id_ = std::exchange(other.id_, 0);
    }
    return *this;
  }
  PadProbe(const PadProbe&) = delete;
  PadProbe& operator=(const PadProbe&) = delete;
  ~PadProbe() { Remove(); }

  // Leaves the probe on its pad for as long as the pad lives: for a pad of
  // an element made for one read alone, which goes with it.
  void StayWithPad() && {
    id_ = 0;
    pad_.Reset();
  }

  void Remove() {
    if (id_ != 0 && pad_) gst_pad_remove_probe(pad_.get(), std::exchange(id_, 0));
    pad_.Reset();
  }

 private:
  // The probe as installed where ThreadSanitizer is to see its calls in order.
  struct Visit {
    GstPadProbeCallback callback;
    gpointer data;
    GDestroyNotify destroy;
  };
  // The buffer or event goes from probe to probe through GStreamer's queues
  // too, so it is acquired and released with the probe's state.
  static GstPadProbeReturn Visited(GstPad* pad, GstPadProbeInfo* info, gpointer visit) {
    threads::AcquireState(visit);
    const Visit& probe = *static_cast<Visit*>(visit);
    const threads::StateVisit shown(probe.data);
    threads::AcquireState(GST_PAD_PROBE_INFO_DATA(info));
    const GstPadProbeReturn result = probe.callback(pad, info, probe.data);
    threads::ReleaseState(GST_PAD_PROBE_INFO_DATA(info));
    return result;
  }
  static void Drop(gpointer visit) {
    threads::AcquireState(visit);
    const Visit* probe = static_cast<Visit*>(visit);
    threads::AcquireState(probe->data);
    if (probe->destroy) probe->destroy(probe->data);
    delete probe;
  }

  PadPtr pad_;
  gulong id_ = 0;
};

}  // namespace gst
