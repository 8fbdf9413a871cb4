#include "platform/gst/encoders/encoder_catalogue.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/gst/gst_handle.h"

namespace gst {

namespace {

struct FeatureListFree {
  void operator()(GList* list) const { gst_plugin_feature_list_free(list); }
};
using FeatureList = std::unique_ptr<GList, FeatureListFree>;

bool HasWord(const char* text, const char* word) {
  return text && std::strstr(text, word) != nullptr;
}

bool StartsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// True when one of the types the encoder produces is a `mediaPrefix` type
// that other elements know.
bool ProducesKnownType(GstElementFactory* factory, const char* mediaPrefix,
                       const char* privatePrefix) {
  for (const GList* item = gst_element_factory_get_static_pad_templates(factory); item;
       item = item->next) {
    auto* pad = static_cast<GstStaticPadTemplate*>(item->data);
    if (pad->direction != GST_PAD_SRC) continue;
    gst::CapsPtr caps(gst_static_pad_template_get_caps(pad));
    if (!caps || gst_caps_is_any(caps.get())) continue;
    for (guint i = 0; i < gst_caps_get_size(caps.get()); ++i) {
      const char* name = gst_structure_get_name(gst_caps_get_structure(caps.get(), i));
      if (StartsWith(name, mediaPrefix) && !StartsWith(name, privatePrefix)) return true;
    }
  }
  return false;
}

bool LibraryLoads(const char* name) {
  void* handle = dlopen(name, RTLD_LAZY | RTLD_LOCAL);
  if (!handle) return false;
  dlclose(handle);
  return true;
}

// libav's OpenMAX IL encoders load the OpenMAX IL core when they open; they
// fail on every machine without one.
bool RuntimePresent(const std::string& factoryName) {
  const std::string suffix = "_omx";
  const bool needsOpenMax =
      factoryName.size() > suffix.size() &&
      factoryName.compare(factoryName.size() - suffix.size(), suffix.size(), suffix) == 0;
  if (!needsOpenMax) return true;
  static const bool openMaxPresent =
      LibraryLoads("libOMX_Core.so") || LibraryLoads("libOmxCore.so");
  return openMaxPresent;
}

bool Belongs(GstElementFactory* factory, StreamKind kind) {
  const char* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
  if (!HasWord(klass, "Encoder")) return false;
  const std::string name = GST_OBJECT_NAME(factory);
  if (kind == StreamKind::Video) {
    if (!HasWord(klass, "Video") || HasWord(klass, "Image")) return false;
    if (!ProducesKnownType(factory, "video/", "video/x-gst-av-")) return false;
  } else {
    if (!HasWord(klass, "Audio")) return false;
    if (!ProducesKnownType(factory, "audio/", "audio/x-gst-av-")) return false;
  }
  return RuntimePresent(name);
}

// The verdict on a factory never changes while the process runs.
bool BelongsCached(GstElementFactory* factory, StreamKind kind) {
  static std::mutex mutex;
  static std::map<std::pair<std::string, StreamKind>, bool> verdicts;
  const auto key = std::make_pair(std::string(GST_OBJECT_NAME(factory)), kind);
  std::lock_guard lock(mutex);
  const auto found = verdicts.find(key);
  if (found != verdicts.end()) return found->second;
  const bool verdict = Belongs(factory, kind);
  verdicts.emplace(key, verdict);
  return verdict;
}

}  // namespace

std::vector<EncoderEntry> ListEncoders(StreamKind kind) {
  const GstElementFactoryListType type = kind == StreamKind::Video
                                             ? GST_ELEMENT_FACTORY_TYPE_VIDEO_ENCODER
                                             : GST_ELEMENT_FACTORY_TYPE_AUDIO_ENCODER;
  // GST_RANK_NONE: usable encoders of rank 0 (avenc_aac, wavpackenc) count.
  FeatureList factories(gst_element_factory_list_get_elements(type, GST_RANK_NONE));

  struct Ranked {
    guint rank;
    EncoderEntry entry;
  };
  std::vector<Ranked> found;
  for (GList* item = factories.get(); item; item = item->next) {
    auto* factory = GST_ELEMENT_FACTORY(item->data);
    if (!BelongsCached(factory, kind)) continue;
    const char* longName = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME);
    const std::string name = GST_OBJECT_NAME(factory);
    found.push_back({gst_plugin_feature_get_rank(GST_PLUGIN_FEATURE(factory)),
                     {name, longName ? longName : name}});
  }
  std::sort(found.begin(), found.end(), [](const Ranked& a, const Ranked& b) {
    if (a.rank != b.rank) return a.rank > b.rank;
    return a.entry.factoryName < b.entry.factoryName;
  });
  std::vector<EncoderEntry> entries;
  entries.reserve(found.size());
  for (Ranked& ranked : found) entries.push_back(std::move(ranked.entry));
  return entries;
}

}  // namespace gst
