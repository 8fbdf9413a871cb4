#pragma once
// Ctrl+C (SIGINT), a request to end (SIGTERM) and the terminal going away
// (SIGHUP, a closed window or a dropped SSH session) while reelcast-convert
// converts: noted while a watch lives, so that the run can be stopped
// cleanly instead of the process ending in the middle of a file. A SIGHUP
// that was ignored when the watch began (`nohup`) stays ignored: the run
// was meant to outlive its terminal.

class InterruptWatch {
 public:
  InterruptWatch();   // from now on the signals are noted
  ~InterruptWatch();  // and from here on they do what they did before
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // True once any of them has come while the watch lived.
  bool Interrupted() const;

 private:
  bool hangUpIgnored_ = false;
};
