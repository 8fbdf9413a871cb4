// An element's settings as the property editor sees them: which properties
// are offered, with what ranges and names, and which values reach the
// element.

#include "platform/gst/encoders/element_properties.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using property::PropertyDescription;
using property::PropertyValue;
using Kind = PropertyDescription::Kind;

gst::ElementPtr Make(const char* factory) {
  GstElement* made = gst_element_factory_make(factory, nullptr);
  return gst::ElementPtr(made ? GST_ELEMENT(gst_object_ref_sink(made)) : nullptr);
}

const PropertyDescription* Find(const std::vector<PropertyDescription>& all,
                                const std::string& name) {
  const auto found =
      std::find_if(all.begin(), all.end(), [&](const auto& d) { return d.name == name; });
  return found == all.end() ? nullptr : &*found;
}

class ElementSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    element = Make("x264enc");
    if (!element) GTEST_SKIP() << "x264enc is not installed";
  }
  gst::ElementPtr element;
};

TEST_F(ElementSettings, OffersEachEditablePropertyWithItsOwnKindRangeAndDescription) {
  gst::ElementProperties settings(element.get());
  const auto all = settings.Describe();

  const auto* bitrate = Find(all, "bitrate");
  ASSERT_NE(bitrate, nullptr);
  EXPECT_EQ(bitrate->kind, Kind::Unsigned);
  EXPECT_EQ(bitrate->minimum, PropertyValue(std::uint64_t{1}));
  EXPECT_EQ(bitrate->maximum, PropertyValue(std::uint64_t{2048000}));
  EXPECT_NE(bitrate->description.find("kbit/sec"), std::string::npos)
      << "the unit is the element's own";

  const auto* pass = Find(all, "pass");
  ASSERT_NE(pass, nullptr);
  EXPECT_EQ(pass->kind, Kind::Enum);
  EXPECT_FALSE(pass->choices.empty());

  const auto* analyse = Find(all, "analyse");
  ASSERT_NE(analyse, nullptr);
  EXPECT_EQ(analyse->kind, Kind::Flags);
  EXPECT_TRUE(std::none_of(analyse->choices.begin(), analyse->choices.end(), [](const auto& c) {
    return c.first == 0;
  })) << "no flag of value 0";

  ASSERT_NE(Find(all, "ip-factor"), nullptr);
  EXPECT_EQ(Find(all, "ip-factor")->kind, Kind::Double);
  ASSERT_NE(Find(all, "option-string"), nullptr);
  EXPECT_EQ(Find(all, "option-string")->kind, Kind::Text);
  ASSERT_NE(Find(all, "sync-lookahead"), nullptr);
  EXPECT_EQ(Find(all, "sync-lookahead")->minimum, PropertyValue(std::int64_t{-1}));

  // Bookkeeping, caps and construct-only properties are not settings.
  EXPECT_EQ(Find(all, "name"), nullptr);
  EXPECT_EQ(Find(all, "parent"), nullptr);
  for (const auto& d : all) {
    GParamSpec* pspec =
        g_object_class_find_property(G_OBJECT_GET_CLASS(element.get()), d.name.c_str());
    ASSERT_NE(pspec, nullptr) << d.name;
    EXPECT_FALSE(pspec->flags & G_PARAM_CONSTRUCT_ONLY) << d.name;
    EXPECT_TRUE(pspec->flags & G_PARAM_WRITABLE) << d.name;
  }
  EXPECT_TRUE(gst::HasEditableProperties(element.get()));
}

TEST_F(ElementSettings, AcceptedValuesReachTheElement) {
  gst::ElementProperties settings(element.get());
  EXPECT_TRUE(settings.Set("bitrate", std::uint64_t{777}));
  EXPECT_TRUE(settings.Set("sync-lookahead", std::int64_t{-1}));
  EXPECT_TRUE(settings.Set("ip-factor", 1.5));
  EXPECT_TRUE(settings.Set("pass", std::int64_t{4}));  // quantizer
  EXPECT_TRUE(settings.Set("analyse", std::int64_t{0x1 | 0x2}));
  EXPECT_TRUE(settings.Set("option-string", std::string("ref=2")));
  EXPECT_TRUE(settings.Set("cabac", false));

  guint bitrate = 0;
  gint pass = 0;
  gfloat ipFactor = 0;
  gboolean cabac = TRUE;
  gchar* options = nullptr;
  g_object_get(element.get(), "bitrate", &bitrate, "pass", &pass, "ip-factor", &ipFactor, "cabac",
               &cabac, "option-string", &options, nullptr);
  const gst::CharPtr ownedOptions(options);
  EXPECT_EQ(bitrate, 777u);
  EXPECT_EQ(pass, 4);
  EXPECT_FLOAT_EQ(ipFactor, 1.5f);
  EXPECT_FALSE(cabac);
  EXPECT_STREQ(options, "ref=2");

  EXPECT_EQ(settings.Get("bitrate"), PropertyValue(std::uint64_t{777}));
  EXPECT_EQ(settings.Get("analyse"), PropertyValue(std::int64_t{3}));
  // A whole number given in the other signedness is taken when it fits.
  EXPECT_TRUE(settings.Set("bitrate", std::int64_t{778}));
  EXPECT_EQ(settings.Get("bitrate"), PropertyValue(std::uint64_t{778}));
}

TEST_F(ElementSettings, RefusedValuesLeaveTheElementAsItWas) {
  gst::ElementProperties settings(element.get());
  ASSERT_TRUE(settings.Set("bitrate", std::uint64_t{500}));
  const std::vector<std::pair<std::string, PropertyValue>> refused = {
      {"bitrate", std::uint64_t{0}},        // below the range
      {"bitrate", std::uint64_t{2048001}},  // above it
      {"bitrate", std::int64_t{-5}},        // negative for an unsigned
      {"bitrate", std::string("600")},      // wrong kind
      {"ip-factor", 2.5},
      {"pass", std::int64_t{99}},             // no such enumeration value
      {"analyse", std::int64_t{0x40000000}},  // outside the flags
      {"name", std::string("renamed")},       // not a setting
      {"no-such-property", true},
  };
  for (const auto& [name, value] : refused) EXPECT_FALSE(settings.Set(name, value)) << name;
  EXPECT_EQ(settings.Get("bitrate"), PropertyValue(std::uint64_t{500}));
  EXPECT_EQ(settings.Get("no-such-property"), PropertyValue(false));
}

TEST(ElementWithoutSettings, HasNothingToEdit) {
  EXPECT_FALSE(gst::HasEditableProperties(nullptr));
  gst::ElementProperties none(nullptr);
  EXPECT_TRUE(none.Describe().empty());
  EXPECT_FALSE(none.Set("bitrate", std::uint64_t{1}));
}

}  // namespace
