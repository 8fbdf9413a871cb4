#pragma once
// Every mend this program makes for a library element that gets a common
// kind of file wrong, by name. A mend is engaged only where its probe finds
// the behaviour in the installed element; the probe runs once per process,
// when the mend is first asked about. Each mend's canary test shows the
// behaviour with the mend disengaged, so that the day a library no longer
// has it, the test says the mend has become dead code here.

#include <span>
#include <string_view>

namespace gst {

enum class Workaround {
  LibavFrameRate,        // libav's video encoders told their frame rate
  AsfCodecData,          // the codec data libav's ASF writer leaves out
  TransportClock,        // a transport stream's clock that comes late
  ProgramStreamStart,    // sound stored before the picture in a cut program stream
  LoasTiming,            // LATM sound whose configuration comes now and then
  Mp4EditedEnd,          // the end of an MP4 track whose edit starts into its media
  Mp4CutFrameRate,       // the frame rate of a picture track cut without re-encoding
  Mp4ShortTrack,         // a sound track much shorter than its MP4 movie
  AviKeyframeStamps,     // the times of reordered pictures in AVI
  AviAdpcmTimes,         // the times of ADPCM sound in AVI
  AviWmaTimeBase,        // the Windows Media Audio time base GStreamer's AVI writer rounds
  MatroskaLength,        // the length GStreamer's Matroska writer cuts by a late stream's start
  AsfCreationTime,       // the creation time libav's ASF writer leaves at 1970
  AsfMaxBitrate,         // the maximum bitrate libav's ASF writer counts from declared ones
  LibavVideoTimestamps,  // libav's video encoders' times for a first frame not at zero
  AudioEncoderPriming,   // the priming audio encoders put before their sound
  AudioEncoderTail,      // the end of the sound an audio encoder holds back
};

struct WorkaroundEntry {
  Workaround id;
  std::string_view name;   // as --list-workarounds prints it and tests name it
  std::string_view mends;  // the behaviour, in a sentence
  bool (*probe)();         // whether the installed element behaves so
};

// Every workaround, in a fixed order.
std::span<const WorkaroundEntry> Workarounds();

// Whether the run applies the workaround: its probe found the behaviour,
// and it was not disengaged.
bool Engaged(Workaround id);
// The probe's verdict alone.
bool BehaviourPresent(Workaround id);

// For tests: holds a workaround back (by name) for as long as it lives, so
// that what it mends shows. Names nothing when the name is unknown.
class DisengagedWorkaround {
 public:
  explicit DisengagedWorkaround(std::string_view name);
  ~DisengagedWorkaround();
  DisengagedWorkaround(const DisengagedWorkaround&) = delete;
  DisengagedWorkaround& operator=(const DisengagedWorkaround&) = delete;
  bool Known() const { return entry_ != nullptr; }

 private:
  const WorkaroundEntry* entry_ = nullptr;
};

}  // namespace gst
