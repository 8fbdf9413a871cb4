#pragma once
// The graph's event queue: filled from any thread (the streaming threads),
// drained on the user-interface thread. Each queued event posts the
// notification message to the window given, if any.
//
// Every run of the graph has a generation number, unique in the process.
// An event is posted with the generation of the run that raised it; the
// queue keeps only the events of its current run and drops any other by
// that number, so an end that arrives after its run was stopped, or after
// a new run began, is never read as the current run's.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/dshow/control_interfaces.h"

namespace dshow {

using RunGeneration = std::uint64_t;

// A generation no earlier run had. Thread-safe.
RunGeneration NextRunGeneration();

class EventQueue {
 public:
  // A new run: from now on only its events are taken, and posted until
  // Close. Events of earlier runs still queued are dropped.
  void Open(RunGeneration generation);
  // The current run was stopped: its later events are dropped; those
  // already queued can still be taken.
  void Close();

  // Thread-safe. Takes no lock while the window is told (wParam carries
  // the generation, lParam the instance data).
  void Post(RunGeneration generation, long eventCode, LONG_PTR param1, LONG_PTR param2);
  // Waits up to msTimeout (negative: without limit); E_ABORT when empty.
  HRESULT Take(long& eventCode, LONG_PTR& param1, LONG_PTR& param2, long msTimeout);
  void SetNotifyWindow(ui::WindowPort window, UINT message, LONG_PTR instanceData);

 private:
  struct Event {
    RunGeneration generation;
    long code;
    LONG_PTR param1;
    LONG_PTR param2;
  };
  std::mutex mutex_;  // guards what follows; nothing is called while it is held
  std::condition_variable arrived_;
  std::deque<Event> events_;
  RunGeneration current_ = 0;  // the run whose events are kept
  bool open_ = false;          // that run's events are still accepted
  ui::WindowPort window_;
  UINT message_ = 0;
  LONG_PTR instanceData_ = 0;
};

}  // namespace dshow
