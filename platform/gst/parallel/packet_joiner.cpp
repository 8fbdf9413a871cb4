#include "platform/gst/parallel/packet_joiner.h"

namespace gst {

PacketJoiner::PacketJoiner(std::size_t segments, std::size_t heldBytes)
    : queues_(segments), heldBytes_(heldBytes) {}

void PacketJoiner::Add(std::size_t segment, BufferPtr packet) {
  const std::size_t size = gst_buffer_get_size(packet.get());
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] {
    return stopped_ || segment <= current_ || held_ + size <= heldBytes_ || held_ == 0;
  });
  if (stopped_ || segment >= queues_.size()) return;
  if (segment > current_) held_ += size;
  queues_[segment].packets.push_back(std::move(packet));
  ++added_;
  changed_.notify_all();
}

void PacketJoiner::Finish(std::size_t segment) {
  std::lock_guard lock(mutex_);
  if (segment < queues_.size()) queues_[segment].finished = true;
  changed_.notify_all();
}

bool PacketJoiner::Ready() const {
  if (current_ >= queues_.size()) return true;
  const Queue& queue = queues_[current_];
  return stopped_ || !queue.packets.empty() || queue.finished;
}

std::optional<PacketJoiner::Packet> PacketJoiner::Next() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [&] { return Ready(); });
    if (current_ >= queues_.size()) return std::nullopt;
    Queue& queue = queues_[current_];
    if (!queue.packets.empty()) {
      Packet packet{current_, std::move(queue.packets.front())};
      queue.packets.pop_front();
      ++written_;
      return packet;
    }
    if (!queue.finished) return std::nullopt;  // stopped in the middle of it
    // On to the next segment: what it holds is no longer held ahead.
    ++current_;
    if (current_ < queues_.size())
      for (const BufferPtr& ahead : queues_[current_].packets)
        held_ -= gst_buffer_get_size(ahead.get());
    changed_.notify_all();
  }
}

void PacketJoiner::Stop() {
  std::lock_guard lock(mutex_);
  stopped_ = true;
  changed_.notify_all();
}

std::uint64_t PacketJoiner::Written() const {
  std::lock_guard lock(mutex_);
  return written_;
}

std::uint64_t PacketJoiner::Added() const {
  std::lock_guard lock(mutex_);
  return added_;
}

}  // namespace gst
