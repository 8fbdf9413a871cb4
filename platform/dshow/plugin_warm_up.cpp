#include "platform/dshow/plugin_warm_up.h"

#include <dlfcn.h>
#include <gst/gst.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/dshow/media_discovery.h"

namespace dshow {

namespace {

struct LibraryClose {
  void operator()(void* library) const { dlclose(library); }
};
using Library = std::unique_ptr<void, LibraryClose>;

// Where GStreamer looks for libav's plugin unless told otherwise; empty when
// it is told otherwise, and the plugin is then left to GStreamer to find.
std::string LibavPluginFile() {
  if (std::getenv("GST_PLUGIN_SYSTEM_PATH_1_0") || std::getenv("GST_PLUGIN_SYSTEM_PATH")) return {};
  return REELCAST_GST_PLUGINS_DIR "/libgstlibav.so";
}

void Load(const char* plugin) {
  // A plugin that is not installed is simply not loaded.
  if (GstPlugin* loaded = gst_plugin_load_by_name(plugin)) gst_object_unref(loaded);
}

}  // namespace

std::jthread WarmUpFor(std::string source) {
  return std::jthread([source = std::move(source), libav = LibavPluginFile()] {
    // Mapped before GStreamer has read its registry; GStreamer's own loading
    // of the plugin then finds the libraries in place. Ours is let go once
    // GStreamer holds the plugin.
    const Library mapped(libav.empty() ? nullptr : dlopen(libav.c_str(), RTLD_LAZY | RTLD_LOCAL));
    gst_init(nullptr, nullptr);  // returns at once when the program has started GStreamer
    // The probe's decoding bin and type finders, then the probe, which loads
    // the plugins its source needs (GStreamer loads one at a time, so the
    // demuxer is not kept waiting behind all of libav's plugin).
    Load("playback");
    Load("typefindfunctions");
    if (!source.empty()) DiscoverFile(source);
    Load("libav");
  });
}

}  // namespace dshow
