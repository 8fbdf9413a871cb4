#pragma once
// Clips made by ffmpeg, a tool independent of the converter, of the kinds
// people bring: broadcast and DVD streams whose streams start late and
// apart, DV from camcorders, interlaced HD. Made once per user (see
// clip_cache.h).

#include <string>

namespace test_support {

enum class FfmpegClip {
  BroadcastTs,  // MPEG-TS: MPEG-2 720x576 interlaced, top field first, + MP2; 2 s
  DvdPs,        // MPEG-PS: MPEG-2 720x576 16:9 interlaced, top field first, + AC-3; 2 s
  CamcorderTs,  // MPEG-TS: H.264 1920x1080 interlaced, top field first, + AC-3; 2 s
  DvPal,        // AVI: DV 720x576 4:3 4:2:0 + 16-bit PCM; 2 s
  DvNtsc,       // AVI: DV 720x480 4:3 4:1:1 at 30000/1001 + 16-bit PCM; 2 s
  LateAudioTs,  // MPEG-TS: MPEG-2 352x288 + MP2 that starts 0.5 s after the picture; 2 s
  // MP4: H.264 320x240 that the file says to turn a quarter for showing, as
  // a phone held upright records it, + AAC; 2 s
  PhoneUpright,
  // MPEG-TS: MPEG-2 720x576 + MP2 whose 33-bit clock wraps around to zero
  // 2 s in, as it does once a day on air; 4 s
  WrappingClockTs,
  // MP4: H.264 320x240 at 60 frames a second, every picture different, + AAC; 2 s
  Fast60,
  // MOV: H.264 320x240 + 24-bit PCM in 6 channels, which GStreamer reads
  // without their places, as it reads every raw sound in MOV; 2 s
  UnplacedSurroundMov,
  // The same with 16 channels, more than have usual places; 2 s
  SixteenChannelsMov,
  // MPEG-TS: MPEG-2 720x576 4:3 + stereo AC-3 for 2 s, then 16:9 + 5.1 AC-3
  // for 2 s, as a broadcast goes from one programme to the next
  SwitchingBroadcastTs,
  // MOV: H.264 320x240 + 24-bit PCM that an edit list starts 1 s after the
  // picture, as an editing program writes a sound placed later; 3 s
  LateSoundMov,
  // Matroska: H.264 320x240 with reordered (B) pictures + AAC, as ffmpeg
  // writes it: the first pictures are stored ahead of the sound, which
  // starts before them; 2 s
  ReorderedMkv,
  // MP4: H.264 320x240 + AAC cut from 1.3 s of a 4 s recording without
  // re-encoding: each track's edit list starts 1.3 s into its samples, the
  // picture's at a picture it cannot show without those before it; 2 s
  TrimmedMp4,
  // MOV: H.264 320x240 + 16-bit PCM that is silent but for a 1 kHz beep of
  // 0.1 s from half past every second; 3 s
  BeepingMov,
  // AVI: H.264 320x240 for 2 s + 20 ms of 16-bit PCM, less sound than an
  // encoder's first frame
  BlipAvi,
  // MPEG-TS: H.264 320x240 + AAC in LATM, the configuration in every 20th
  // frame, as DVB-T2 carries it: a quiet hum with a 1 kHz beep of 0.1 s from
  // half past every second; 3 s
  LatmBroadcastTs,
  // ASF: Windows Media Video 8 320x240 at 30 frames a second + Windows Media
  // Audio 2, whose times are kept in milliseconds and which declares no
  // rate; 2 s
  WindowsMedia30,
  // MPEG-TS: MPEG-2 352x288 that starts 0.7 s after its MP2 sound, and with
  // it the programme's clock, as ffmpeg writes a picture that starts late;
  // 3 s
  LateVideoTs,
  // AVI: MPEG-4 part 2 320x240 at 30 frames a second with B pictures and a
  // keyframe every 12, as Xvid writes it, + MP3: black but for a white flash
  // of 0.1 s from half past every second; 2 s
  XvidAvi,
  // AVI: Motion JPEG 320x240 + IMA ADPCM mono at 22.05 kHz, as digital
  // cameras record: silent but for a 1 kHz beep of 0.1 s from half past
  // every second; 3 s
  CameraAvi,
  // MPEG-PS: the second half of a DVD title (MPEG-2 720x576 + AC-3, 6 s),
  // cut at a pack as a title's second VOB file starts: its first sound is
  // stamped 0.4 s before its first picture; 3 s
  DvdSecondPart,
  // MP4: H.264 320x240 for 2 s + AAC that starts 0.5 s after the picture
  // and ends 0.5 s after it, as a recorder whose sound starts late writes
  // it; 2.5 s
  OutlastingSoundMp4,
  // MP4: H.264 160x120 for 10 s + AAC that stops after 1.5 s, as a
  // recorder writes sound that failed early; 10 s
  BriefSoundMp4,
  // MPEG-TS: MPEG-2 352x288 + two MP2 sounds, the first of a single frame
  // of silence (which GStreamer's parser takes for layer I at 8 kHz and
  // never decodes), the second the tone, as a broadcast's idle sound
  // channel comes first; 6 s
  OneFrameFirstSoundTs,
  // AVI: a 440 Hz tone in variable-rate MP3 whose header states a constant
  // 320 kbit/s, as old writers stated it: read by that rate, its frames are
  // stamped closer together than they last; 4 s
  ConstantRateClaimedAvi,
};

std::string Clip(FfmpegClip clip);
const char* NameOf(FfmpegClip clip);

}  // namespace test_support
