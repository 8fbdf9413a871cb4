#pragma once
// The settings an encoder starts from, before a user's configuration is
// applied, wherever one is made (a compressor for a run, a codec for its
// dialog), so that both start alike.
//
// - The libav encoders start single-threaded (their "threads" is 1); letting
//   them pick the number of threads, as ffmpeg does by default, makes the
//   slice-threaded ones (MPEG-4 part 2 among them) markedly faster.
// - x264 looks 40 frames ahead by default, and GStreamer's x264 element keeps
//   each frame it has handed over until it comes out encoded, beside x264's
//   own copy: at 3840x2160 those 40 frames cost over a gigabyte more than
//   ffmpeg needs for the same encoding. 30 frames, as x264's own "fast"
//   preset uses, keep the bitrate and, measured on a 720p clip with motion
//   and grain, the picture (SSIM 15.33 dB against 15.32 dB, the same PSNR),
//   for a quarter of that memory.

#include <string>

#include "platform/gst/gst_handle.h"

namespace gst {

// An encoder of the factory with those settings; null when the factory is
// not installed.
ElementPtr MakeEncoder(const std::string& factory);

// Settles what the muxer needs of an encoder's stream, over its settings.
// AVI readers time MP3 by its bytes, at the one byte rate the header
// states, which only a constant bitrate keeps true: LAME's default variable
// rate put the sound of an AVI up to a fifth of a second off its picture.
void SuitEncoderToMuxer(GstElement* encoder, GstElement* muxer);

// The parser that must frame an encoder's stream for the muxer, or null.
// AVI's writer takes MPEG audio that is not marked as parsed for a constant
// byte rate, which it works out from the buffers' durations; TwoLAME gives
// its last frame only the time of the samples left, so a short clip's rate
// came out too high and its sound drifted ahead (15 ms in 4 s). Parsed, each
// frame is a chunk of its own, timed by its samples, as ffmpeg writes them.
const char* ParserBetween(GstElement* encoder, GstElement* muxer);

}  // namespace gst
