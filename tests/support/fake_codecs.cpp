#include "tests/support/fake_codecs.h"

#include <memory>

namespace test_support {

namespace {

using Kind = property::PropertyDescription::Kind;

class NoSettings : public property::PropertySet {
 public:
  std::vector<property::PropertyDescription> Describe() const override { return {}; }
  property::PropertyValue Get(const std::string&) const override { return false; }
  bool Set(const std::string&, const property::PropertyValue&) override { return false; }
};

class FakeInstance : public vfw::CodecInstance {
 public:
  explicit FakeInstance(const FakeCodec& codec) : codec_(codec) {}
  bool CanCompress(const vfw::BITMAPINFOHEADER& input) override {
    return codec_.takesProbe && input.biCompression == vfw::BI_RGB;
  }
  property::PropertySet& Settings() override {
    if (codec_.hasSettings) return settings_;
    return none_;
  }

 private:
  FakeCodec codec_;
  FakeSettings settings_;
  NoSettings none_;
};

property::PropertyDescription Described(std::string name, Kind kind,
                                        property::PropertyValue lo = {},
                                        property::PropertyValue hi = {}) {
  property::PropertyDescription d;
  d.label = name;
  d.description = name + " of the fake codec";
  d.name = std::move(name);
  d.kind = kind;
  d.minimum = std::move(lo);
  d.maximum = std::move(hi);
  return d;
}

bool SameAlternative(const property::PropertyValue& a, const property::PropertyValue& b) {
  return a.index() == b.index();
}

}  // namespace

FakeSettings::FakeSettings() {
  described_ = {
      Described("bitrate", Kind::Unsigned, std::uint64_t{1}, std::uint64_t{100000}),
      Described("offset", Kind::Integer, std::int64_t{-10}, std::int64_t{10}),
      Described("quality", Kind::Double, 0.0, 1.0),
      Described("two-pass", Kind::Boolean),
      Described("mode", Kind::Enum),
      Described("features", Kind::Flags),
      Described("label", Kind::Text),
  };
  described_[4].choices = {{0, "fast"}, {1, "slow"}};
  described_[5].choices = {{1, "a"}, {2, "b"}, {4, "c"}};
  values_ = {{"bitrate", std::uint64_t{800}},
             {"offset", std::int64_t{0}},
             {"quality", 0.5},
             {"two-pass", false},
             {"mode", std::int64_t{0}},
             {"features", std::int64_t{0}},
             {"label", std::string()}};
}

std::vector<property::PropertyDescription> FakeSettings::Describe() const { return described_; }

property::PropertyValue FakeSettings::Get(const std::string& name) const {
  const auto found = values_.find(name);
  return found == values_.end() ? property::PropertyValue(false) : found->second;
}

bool FakeSettings::Set(const std::string& name, const property::PropertyValue& value) {
  const auto found = values_.find(name);
  if (found == values_.end() || !SameAlternative(found->second, value)) return false;
  if (name == "bitrate") {
    const auto v = std::get<std::uint64_t>(value);
    if (v < 1 || v > 100000) return false;
  } else if (name == "offset") {
    const auto v = std::get<std::int64_t>(value);
    if (v < -10 || v > 10) return false;
  } else if (name == "quality") {
    const auto v = std::get<double>(value);
    if (!(v >= 0.0 && v <= 1.0)) return false;
  } else if (name == "mode") {
    const auto v = std::get<std::int64_t>(value);
    if (v != 0 && v != 1) return false;
  } else if (name == "features") {
    const auto v = std::get<std::int64_t>(value);
    if (v < 0 || v > 7) return false;
  }
  found->second = value;
  return true;
}

FakeCodecs::FakeCodecs(std::vector<FakeCodec> codecs) {
  previous_ = vfw::SetCodecSource([codecs = std::move(codecs)] {
    std::vector<vfw::CodecDriver> drivers;
    for (const FakeCodec& codec : codecs) {
      vfw::CodecDriver driver;
      driver.name = codec.name;
      driver.description = codec.description;
      driver.driver = "fake";
      driver.open = [codec]() -> std::unique_ptr<vfw::CodecInstance> {
        if (!codec.opens) return nullptr;
        return std::make_unique<FakeInstance>(codec);
      };
      drivers.push_back(std::move(driver));
    }
    return drivers;
  });
}

FakeCodecs::~FakeCodecs() { vfw::SetCodecSource(std::move(previous_)); }

}  // namespace test_support
