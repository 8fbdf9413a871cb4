#include "app/interrupt_watch.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> interrupted{false};

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnInterrupt(int) { interrupted = true; }

}  // namespace

InterruptWatch::InterruptWatch() {
  interrupted = false;
  for (int signal : kStopSignals) std::signal(signal, OnInterrupt);
}

InterruptWatch::~InterruptWatch() {
  for (int signal : kStopSignals) std::signal(signal, SIG_DFL);
}

bool InterruptWatch::Interrupted() const { return interrupted; }
