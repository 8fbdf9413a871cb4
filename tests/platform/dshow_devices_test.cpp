// The system device enumerator over the installed encoders: what the two
// compressor categories hold, their order, and what binding makes.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/dshow/device_interfaces.h"
#include "platform/dshow/filter_role.h"
#include "tests/platform/dshow_test_helpers.h"

namespace {

using namespace dshow_test;

struct Entry {
  std::string friendlyName;
  ComPtr<IMoniker> moniker;
};

std::vector<Entry> Category(const CLSID& category) {
  std::vector<Entry> entries;
  ComPtr<ICreateDevEnum> devices;
  EXPECT_EQ(CoCreate(CLSID_SystemDeviceEnum, devices), S_OK);
  ComPtr<IEnumMoniker> monikers;
  EXPECT_EQ(devices->CreateClassEnumerator(category, monikers, 0), S_OK);
  if (!monikers) return entries;
  ComPtr<IMoniker> moniker;
  while (monikers->Next(moniker) == S_OK) {
    ComPtr<IPropertyBag> bag;
    std::string name;
    EXPECT_EQ(moniker->BindToStorage(bag), S_OK);
    EXPECT_EQ(bag->Read("FriendlyName", name), S_OK);
    entries.push_back({name, moniker});
  }
  return entries;
}

std::vector<std::string> NamesOf(const std::vector<Entry>& entries) {
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.friendlyName);
  return names;
}

bool Holds(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

GstElementFactory* FactoryOf(IMoniker& moniker) {
  ComPtr<IBaseFilter> filter;
  if (FAILED(moniker.BindToObject(filter))) return nullptr;
  ComPtr<dshow::IModelFilter> model;
  filter.As(model);
  const auto& role = std::get<dshow::CompressorRole>(model->Role());
  return gst_element_get_factory(role.element.get());
}

TEST(CompressorCategories, HoldMovingPictureAndAudioEncodersThatCanWork) {
  const auto video = NamesOf(Category(CLSID_VideoCompressorCategory));
  EXPECT_TRUE(Holds(video, "x264 H.264 Encoder"));
  EXPECT_TRUE(Holds(video, "libav Windows Media Video 8 encoder"));
  EXPECT_TRUE(Holds(video, "libav MPEG-4 part 2 encoder"));
  for (const char* still :
       {"JPEG image encoder", "PNG image encoder", "YUV4MPEG video encoder",
        "libav PNG (Portable Network Graphics) image encoder", "libav MJPEG (Motion JPEG) encoder"})
    EXPECT_FALSE(Holds(video, still)) << still;
  // No OpenMAX IL core is installed on the machines this runs on.
  EXPECT_FALSE(Holds(video, "libav OpenMAX IL H.264 video encoder encoder"));
  EXPECT_FALSE(Holds(video, "libav Snow encoder")) << "its output has no type a muxer knows";

  const auto audio = NamesOf(Category(CLSID_AudioCompressorCategory));
  EXPECT_TRUE(Holds(audio, "L.A.M.E. mp3 encoder"));
  EXPECT_TRUE(Holds(audio, "libav Windows Media Audio 2 encoder"));
  EXPECT_TRUE(Holds(audio, "libav AAC (Advanced Audio Coding) encoder")) << "rank 0 counts";
  EXPECT_FALSE(Holds(audio, "x264 H.264 Encoder"));
}

TEST(CompressorCategories, KeepOneOrderByRankThenFactoryName) {
  const auto entries = Category(CLSID_VideoCompressorCategory);
  ASSERT_GT(entries.size(), 10u);
  EXPECT_EQ(NamesOf(entries), NamesOf(Category(CLSID_VideoCompressorCategory)));
  for (std::size_t i = 1; i < entries.size(); ++i) {
    GstElementFactory* before = FactoryOf(*entries[i - 1].moniker);
    GstElementFactory* after = FactoryOf(*entries[i].moniker);
    ASSERT_TRUE(before && after);
    const guint rankBefore = gst_plugin_feature_get_rank(GST_PLUGIN_FEATURE(before));
    const guint rankAfter = gst_plugin_feature_get_rank(GST_PLUGIN_FEATURE(after));
    EXPECT_GE(rankBefore, rankAfter) << i;
    if (rankBefore == rankAfter) {
      EXPECT_LT(std::string(GST_OBJECT_NAME(before)), std::string(GST_OBJECT_NAME(after))) << i;
    }
  }
}

TEST(CompressorCategories, OtherCategoriesGiveNoEnumerator) {
  ComPtr<ICreateDevEnum> devices;
  ASSERT_EQ(CoCreate(CLSID_SystemDeviceEnum, devices), S_OK);
  ComPtr<IEnumMoniker> monikers = nullptr;
  EXPECT_EQ(devices->CreateClassEnumerator(GUID::Parse("{860BB310-5D01-11D0-BD3B-00A0C911CE86}"),
                                           monikers, 0),
            S_FALSE);
  EXPECT_FALSE(monikers);
}

TEST(CompressorCategories, BindingMakesANewCompressorEachTime) {
  const auto entries = Category(CLSID_AudioCompressorCategory);
  ASSERT_FALSE(entries.empty());
  ComPtr<IBaseFilter> first, second;
  ASSERT_EQ(entries[0].moniker->BindToObject(first), S_OK);
  ASSERT_EQ(entries[0].moniker->BindToObject(second), S_OK);
  EXPECT_FALSE(SameObject(first, second));
  EXPECT_EQ(Pins(*first, PINDIR_INPUT).size(), 1u);
  EXPECT_EQ(Pins(*first, PINDIR_OUTPUT).size(), 1u);
  EXPECT_EQ(NameOf(*first), "");

  ComPtr<dshow::IModelFilter> a, b;
  first.As(a);
  second.As(b);
  const auto& roleA = std::get<dshow::CompressorRole>(a->Role());
  const auto& roleB = std::get<dshow::CompressorRole>(b->Role());
  ASSERT_TRUE(roleA.element);
  EXPECT_NE(roleA.element.get(), roleB.element.get()) << "each compressor owns its element";
  EXPECT_EQ(roleA.kind, dshow::StreamKind::Audio);

  ComPtr<IPropertyBag> bag;
  ASSERT_EQ(entries[0].moniker->BindToStorage(bag), S_OK);
  std::string value;
  EXPECT_EQ(bag->Read("CLSID", value), E_INVALIDARG);
  ComPtr<IPin> wrong;
  EXPECT_EQ(entries[0].moniker->BindToObject(wrong), E_NOINTERFACE);
}

}  // namespace
