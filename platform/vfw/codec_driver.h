#pragma once
// What the codec manager knows of an installed codec: its texts and how to
// open it. An open codec tells which input it can compress and offers its
// settings, which its state block and its dialog are made of.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/property/property_set.h"
#include "platform/vfw/vfw.h"

namespace vfw {

class CodecInstance {
 public:
  virtual ~CodecInstance() = default;
  virtual bool CanCompress(const BITMAPINFOHEADER& input) = 0;
  virtual property::PropertySet& Settings() = 0;
};

struct CodecDriver {
  std::string name;         // unique among the installed codecs
  std::string description;  // what the user reads
  std::string driver;
  // A new instance, or null when the codec cannot be opened.
  std::function<std::unique_ptr<CodecInstance>()> open;
};

using CodecSource = std::function<std::vector<CodecDriver>()>;

// The installed video codecs, in the order the manager enumerates them.
std::vector<CodecDriver> InstalledVideoCodecs();

// Replaces where the installed codecs come from and returns the previous
// source; an empty source restores the video encoders.
CodecSource SetCodecSource(CodecSource source);

// The video encoders of the compressor catalogue, as codecs.
std::vector<CodecDriver> EncoderCodecs();

}  // namespace vfw
