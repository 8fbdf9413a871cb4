#pragma once
// Joins the encoded packets of segments that are encoded side by side into
// one stream, in segment order. Each segment's packets come from its own
// thread in their own order; the writer takes them segment after segment.
// Packets of a segment ahead of the one being written wait here, in at most
// `heldBytes` of memory: an encoder further ahead waits for room, while the
// segment being written always goes through, so the run never stalls.

#include <gst/gst.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/gst/gst_handle.h"

namespace gst {

class PacketJoiner {
 public:
  PacketJoiner(std::size_t segments, std::size_t heldBytes);

  // A packet of `segment` (from that segment's thread). Waits while the
  // segment is ahead of the one being written and the packets held fill
  // the room; returns at once after Stop, dropping the packet.
  void Add(std::size_t segment, BufferPtr packet);
  // `segment` has given all its packets.
  void Finish(std::size_t segment);

  struct Packet {
    std::size_t segment;
    BufferPtr buffer;
  };
  // The next packet in order (for the writer); waits until it comes.
  // Nothing once every segment is finished, or after Stop once the packets
  // of the segment being written that came before it are given.
  std::optional<Packet> Next();

  // No more packets are taken: the stream ends with what its segments have
  // given in order so far.
  void Stop();

  // Packets given by Next so far, and those added in all.
  std::uint64_t Written() const;
  std::uint64_t Added() const;

 private:
  struct Queue {
    std::deque<BufferPtr> packets;
    bool finished = false;
  };
  bool Ready() const;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Queue> queues_;
  std::size_t current_ = 0;  // the segment being written
  std::size_t heldBytes_;    // the room for packets ahead of it
  std::size_t held_ = 0;     // bytes of those now
  bool stopped_ = false;
  std::uint64_t written_ = 0;
  std::uint64_t added_ = 0;
};

}  // namespace gst
