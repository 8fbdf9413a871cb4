#pragma once
// Reads a file's streams as its demultiplexer and parsers give them, without
// decoding, and shows a scan the buffers of the streams it watches. A local
// file is read this way at hundreds of megabytes a second.

#include <gst/gst.h>

#include <chrono>
#include <string>

#include "platform/gst/gst_handle.h"

namespace dshow {

class ParsedStreamsScan {
 public:
  virtual ~ParsedStreamsScan() = default;

 protected:
  enum class Ending { Enough, EndOfFile, Failed };

  // Reads `uri` until Take says it has enough, the file ends, reading fails
  // or `limit` has passed (Failed).
  Ending Run(const std::string& uri, std::chrono::milliseconds limit);

  // Whether the buffers of this parsed stream are shown to Take. Called on a
  // streaming thread, one stream at a time.
  virtual bool Watches(GstPad* parsed) = 0;
  // Called on streaming threads, several at once; true ends the reading.
  virtual bool Take(GstBuffer* buffer) = 0;

 private:
  static void OnPadAdded(GstElement*, GstPad* pad, gpointer data);
  static GstPadProbeReturn OnBuffer(GstPad*, GstPadProbeInfo* info, gpointer data);
  void Attach(GstPad* pad);

  gst::ElementPtr pipeline_;
};

}  // namespace dshow
