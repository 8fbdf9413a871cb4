#pragma once
// Move-only owners of GLib/GStreamer references. Each holds one reference and
// gives it back with the matching unref function; there is no implicit
// conversion to the raw pointer.

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <cstdint>
#include <span>
#include <utility>

namespace gst {

template <typename T, void (*Unref)(T*)>
class Handle {
 public:
  Handle() noexcept = default;
  // Takes over a reference the caller owns (a "transfer full" result).
  explicit Handle(T* owned) noexcept : p_(owned) {}
  Handle(Handle&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.p_, nullptr));
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Reset(); }

  T* get() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  void Reset(T* owned = nullptr) noexcept {
    if (T* old = std::exchange(p_, owned)) Unref(old);
  }
  [[nodiscard]] T* release() noexcept { return std::exchange(p_, nullptr); }

 private:
  T* p_ = nullptr;
};

namespace detail {
template <typename T>
void ObjectUnref(T* object) {
  gst_object_unref(object);
}
template <typename T>
void GObjectUnref(T* object) {
  g_object_unref(object);
}
inline void CapsUnref(GstCaps* caps) { gst_caps_unref(caps); }
inline void MessageUnref(GstMessage* message) { gst_message_unref(message); }
inline void BufferUnref(GstBuffer* buffer) { gst_buffer_unref(buffer); }
inline void SampleUnref(GstSample* sample) { gst_sample_unref(sample); }
inline void EventUnref(GstEvent* event) { gst_event_unref(event); }
inline void QueryUnref(GstQuery* query) { gst_query_unref(query); }
inline void ErrorFree(GError* error) { g_error_free(error); }
inline void CharFree(gchar* text) { g_free(text); }
inline void IteratorFree(GstIterator* it) { gst_iterator_free(it); }
}  // namespace detail

// GstObject-derived types (elements, pads, bins, buses, factories).
template <typename T>
using ObjectPtr = Handle<T, detail::ObjectUnref<T>>;
using ElementPtr = ObjectPtr<GstElement>;
using PadPtr = ObjectPtr<GstPad>;
using BusPtr = ObjectPtr<GstBus>;
using PluginFeaturePtr = ObjectPtr<GstPluginFeature>;
using ElementFactoryPtr = ObjectPtr<GstElementFactory>;
// Plain GObjects (discoverer and its results).
template <typename T>
using GObjectPtr = Handle<T, detail::GObjectUnref<T>>;
using DiscovererPtr = GObjectPtr<GstDiscoverer>;
using DiscovererInfoPtr = GObjectPtr<GstDiscovererInfo>;

using CapsPtr = Handle<GstCaps, detail::CapsUnref>;
using MessagePtr = Handle<GstMessage, detail::MessageUnref>;
using BufferPtr = Handle<GstBuffer, detail::BufferUnref>;
using SamplePtr = Handle<GstSample, detail::SampleUnref>;
using EventPtr = Handle<GstEvent, detail::EventUnref>;
using QueryPtr = Handle<GstQuery, detail::QueryUnref>;
using ErrorPtr = Handle<GError, detail::ErrorFree>;
using CharPtr = Handle<gchar, detail::CharFree>;
using IteratorPtr = Handle<GstIterator, detail::IteratorFree>;

// Deleter for blocks GLib allocated (arrays it hands over with g_free).
struct GFree {
  void operator()(void* block) const noexcept { g_free(block); }
};

// Adds a reference of its own to an object the caller only borrows.
template <typename T>
ObjectPtr<T> Borrow(T* object) {
  return ObjectPtr<T>(object ? static_cast<T*>(gst_object_ref(object)) : nullptr);
}

// A buffer's memory, mapped for as long as the mapping lives.
class BufferMapping {
 public:
  BufferMapping(GstBuffer* buffer, GstMapFlags flags)
      : buffer_(buffer), mapped_(gst_buffer_map(buffer, &map_, flags) != FALSE) {}
  BufferMapping(const BufferMapping&) = delete;
  BufferMapping& operator=(const BufferMapping&) = delete;
  ~BufferMapping() {
    if (mapped_) gst_buffer_unmap(buffer_, &map_);
  }

  explicit operator bool() const noexcept { return mapped_; }
  // Empty when the memory could not be mapped.
  std::span<std::uint8_t> bytes() const noexcept {
    return mapped_ ? std::span<std::uint8_t>(map_.data, map_.size) : std::span<std::uint8_t>();
  }

 private:
  GstBuffer* buffer_;
  GstMapInfo map_{};
  bool mapped_;
};

}  // namespace gst
