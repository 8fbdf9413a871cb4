#include "platform/gst/pipeline/picture_orientation.h"

#include <array>

namespace gst {

namespace {

struct Turn {
  std::string_view orientation;
  std::string_view direction;
  bool quarter;
};

// As videoflip reads the tag when told to follow it.
constexpr std::array<Turn, 7> kTurns{{
    {"rotate-90", "90r", true},
    {"rotate-180", "180", false},
    {"rotate-270", "90l", true},
    {"flip-rotate-0", "horiz", false},
    {"flip-rotate-90", "ul-lr", true},
    {"flip-rotate-180", "vert", false},
    {"flip-rotate-270", "ur-ll", true},
}};

const Turn* Find(std::string_view orientation) {
  for (const Turn& turn : kTurns)
    if (turn.orientation == orientation) return &turn;
  return nullptr;
}

}  // namespace

std::string UprightDirection(std::string_view orientation) {
  const Turn* turn = Find(orientation);
  return turn ? std::string(turn->direction) : std::string();
}

bool TurnsAQuarter(std::string_view orientation) {
  const Turn* turn = Find(orientation);
  return turn && turn->quarter;
}

}  // namespace gst
