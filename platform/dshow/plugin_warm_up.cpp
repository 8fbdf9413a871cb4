#include "platform/dshow/plugin_warm_up.h"

#include <gst/gst.h>

namespace dshow {

std::jthread WarmUpPlugins() {
  return std::jthread([] {
    // The probe's decoding bin and type finders, then libav; a plugin that
    // is not installed is simply not loaded.
    for (const char* name : {"playback", "typefindfunctions", "libav"})
      if (GstPlugin* plugin = gst_plugin_load_by_name(name)) gst_object_unref(plugin);
  });
}

}  // namespace dshow
