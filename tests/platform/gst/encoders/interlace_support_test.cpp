#include "platform/gst/encoders/interlace_support.h"

#include <gtest/gtest.h>

#include "tests/platform/gst/conversion_test_support.h"

namespace {

TEST(InterlaceSupport, EncodersThatOpenOnlyForProgressivePicturesAreFound) {
  gst_test::InitGst();
  for (const auto& [factory, refuses] :
       {std::pair{"avenc_wmv2", true}, std::pair{"avenc_wmv1", true}, std::pair{"x264enc", false},
        std::pair{"avenc_mpeg4", false}}) {
    GstElementFactory* found = gst_element_factory_find(factory);
    ASSERT_NE(found, nullptr) << factory;
    EXPECT_EQ(gst::RefusesInterlacedInput(found), refuses) << factory;
    EXPECT_EQ(gst::RefusesInterlacedInput(found), refuses) << factory << ", asked again";
    gst_object_unref(found);
  }
}

}  // namespace
