#include "app/command_line/interrupt_watch.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted = true; }

}  // namespace

InterruptWatch::InterruptWatch() {
  interrupted = false;
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  hangUpIgnored_ = std::signal(SIGHUP, OnInterrupt) == SIG_IGN;
  if (hangUpIgnored_) std::signal(SIGHUP, SIG_IGN);
}

InterruptWatch::~InterruptWatch() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGHUP, hangUpIgnored_ ? SIG_IGN : SIG_DFL);
}

bool InterruptWatch::Interrupted() const { return interrupted; }
