#pragma once
// The transport stream demuxer waits for the programme's clock (its first
// PCR) through at most 0.5 s of any stream's content. Past that it gives the
// clock up, and in a file that leaves every buffer unstamped: discovery finds
// no length, and a conversion writes a picture that starts late from the
// start, out of step with its sound. ffmpeg writes such files whenever the
// picture, whose packets carry the clock, starts more than 0.5 s after the
// sound. GStreamer 1.22 and 1.26 both have it; the demuxer's "ignore-pcr"
// is no way out, as it leaves a file read from disk unstamped too. Registry
// name "transport-clock"; canary InputCanary.TransportClock.
//
// The streams' packets may come in any order between streams, so the first
// packet with the clock is moved, in the bytes the demuxer reads, to just
// before the first packet that starts a timed stream: the demuxer then
// knows the clock before it needs it. Each stream keeps the order of its
// own packets, and nothing outside the moved span changes place.

#include <gst/gst.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace gst {

// The bytes from `start` that the demuxer is to read instead.
struct ClockMove {
  std::uint64_t start = 0;
  std::vector<std::uint8_t> bytes;
};

// What the head of a file needs: nothing when it is no transport stream
// (188-byte packets, or 192 with a time before each), when its clock comes
// before 0.4 s of any stream, or when moving it would put a stream's own
// packets out of order.
std::optional<ClockMove> PlanClockMove(std::span<const std::uint8_t> head);

// Reads the head of the file that `source` reads (its "location") and, where
// the mend is engaged and PlanClockMove says so, rewrites those bytes in
// every buffer the source gives, for as long as the source lives. Call
// before the source starts.
void MoveTransportClockAhead(GstElement* source);

// Whether the installed demuxer stamps nothing of a stream whose clock comes
// after 0.7 s of sound, and stamps it once the clock is moved ahead.
bool TransportDemuxerGivesUpALateClock();

}  // namespace gst
