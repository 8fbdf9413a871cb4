#pragma once
// Video codecs that tests install in place of the video encoders, for what
// the installed encoders cannot show: chosen descriptions, codecs that refuse
// the probe format or cannot be opened, codecs without settings.

#include <map>
#include <string>
#include <vector>

#include "platform/property/property_set.h"
#include "platform/vfw/codec_driver.h"

namespace test_support {

// Settings held in memory, one of every kind, with ranges:
// "bitrate" Unsigned 1..100000 (800), "offset" Integer -10..10 (0),
// "quality" Double 0..1 (0.5), "two-pass" Boolean (false), "mode" Enum
// 0 fast / 1 slow (0), "features" Flags 1, 2, 4 (0), "label" Text ("").
class FakeSettings : public property::PropertySet {
 public:
  FakeSettings();
  std::vector<property::PropertyDescription> Describe() const override;
  property::PropertyValue Get(const std::string& name) const override;
  bool Set(const std::string& name, const property::PropertyValue& value) override;

 private:
  std::vector<property::PropertyDescription> described_;
  std::map<std::string, property::PropertyValue> values_;
};

struct FakeCodec {
  std::string name;
  std::string description;
  bool takesProbe = true;  // can compress 352 x 240 RGB
  bool opens = true;
  bool hasSettings = true;  // without, the codec has no state
};

// Installs the codecs for the life of the object, then restores the
// previous source.
class FakeCodecs {
 public:
  explicit FakeCodecs(std::vector<FakeCodec> codecs);
  ~FakeCodecs();
  FakeCodecs(const FakeCodecs&) = delete;
  FakeCodecs& operator=(const FakeCodecs&) = delete;

 private:
  vfw::CodecSource previous_;
};

}  // namespace test_support
