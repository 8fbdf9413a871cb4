#pragma once
// Pictures a file declares turned: a phone held upright records its frames
// sideways and says in the file how to turn them for showing (GStreamer's
// "image-orientation" tag: "rotate-90", "flip-rotate-0" and so on). A
// player turns them as it shows them; a converted file whose format has no
// such note must have its pictures turned upright, as `ffmpeg` does.

#include <string>
#include <string_view>

namespace gst {

// videoflip's "video-direction" that turns pictures of that orientation
// upright; empty for pictures that are upright already or an orientation
// not known.
std::string UprightDirection(std::string_view orientation);

// Whether turning pictures of that orientation upright swaps their width and
// height (a quarter turn, with or without a mirror).
bool TurnsAQuarter(std::string_view orientation);

}  // namespace gst
