#include "platform/gst/pipeline/picture_orientation.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureOrientation, EveryTurnAFileMayDeclareIsUndoneAndQuarterTurnsSwapTheSize) {
  struct Case {
    const char* orientation;
    const char* direction;
    bool quarter;
  };
  for (const Case& c :
       {Case{"rotate-90", "90r", true}, Case{"rotate-180", "180", false},
        Case{"rotate-270", "90l", true}, Case{"flip-rotate-0", "horiz", false},
        Case{"flip-rotate-90", "ul-lr", true}, Case{"flip-rotate-180", "vert", false},
        Case{"flip-rotate-270", "ur-ll", true}}) {
    EXPECT_EQ(gst::UprightDirection(c.orientation), c.direction) << c.orientation;
    EXPECT_EQ(gst::TurnsAQuarter(c.orientation), c.quarter) << c.orientation;
  }
  for (const char* upright : {"", "rotate-0", "sideways"}) {
    EXPECT_EQ(gst::UprightDirection(upright), "") << upright;
    EXPECT_FALSE(gst::TurnsAQuarter(upright)) << upright;
  }
}

}  // namespace
