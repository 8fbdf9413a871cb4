#include "platform/vfw/kept_configuration.h"

#include <map>
#include <mutex>
#include <utility>

#include "platform/gst/encoders/element_properties.h"
#include "platform/vfw/codec_state.h"

namespace vfw {

namespace {

struct Kept {
  std::mutex mutex;
  std::map<std::string, std::vector<std::uint8_t>> states;
};

Kept& TheKept() {
  static Kept kept;
  return kept;
}

}  // namespace

void KeepConfiguration(const std::string& codecName, std::vector<std::uint8_t> state) {
  Kept& kept = TheKept();
  std::lock_guard lock(kept.mutex);
  kept.states[codecName] = std::move(state);
}

std::optional<std::vector<std::uint8_t>> KeptConfiguration(const std::string& codecName) {
  Kept& kept = TheKept();
  std::lock_guard lock(kept.mutex);
  const auto found = kept.states.find(codecName);
  if (found == kept.states.end()) return std::nullopt;
  return found->second;
}

bool ApplyKeptConfiguration(const std::string& codecName, property::PropertySet& settings) {
  const auto state = KeptConfiguration(codecName);
  return state && ReadState(codecName, settings, *state);
}

void ApplyKeptConfiguration(GstElement* element) {
  GstElementFactory* factory = element ? gst_element_get_factory(element) : nullptr;
  if (!factory) return;
  gst::ElementProperties settings(element);
  ApplyKeptConfiguration(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), settings);
}

}  // namespace vfw
