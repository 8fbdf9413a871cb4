#include "platform/wmf/profile_text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/wmf/codec_catalogue.h"
#include "platform/wmf/markup.h"
#include "platform/wmf/profile_objects.h"

namespace {

constexpr std::uint32_t kWmv2 = MakeFourCC('W', 'M', 'V', '2');

// A profile with an audio stream, two video streams in a bitrate exclusion
// and names that need escaping.
wmf::ProfileData SampleProfile() {
  wmf::ProfileData data;
  data.name = "Custom \"<&>\" Profile";
  data.description = "two rates";
  wmf::StreamData audio = wmf::AudioFormat(WAVE_FORMAT_WMAUDIO2, 44100, 2, 16000, 743, {1, 2, 3});
  audio.number = 1;
  audio.name = "Audio Stream";
  audio.connectionName = "Audio";
  data.streams.push_back(audio);
  for (std::uint16_t number : {std::uint16_t{2}, std::uint16_t{3}}) {
    wmf::StreamData video = wmf::VideoFormat(kWmv2, 640, 480, 300000u * number, 400000);
    video.number = number;
    video.name = "Video Stream";
    video.connectionName = "Video";
    video.quality = 0;
    video.maxKeyFrameSpacing = 80'000'000;
    data.streams.push_back(video);
  }
  data.mutexes.push_back({CLSID_WMMutex_Bitrate, {2, 3}});
  return data;
}

ComPtr<IWMProfileManager> Manager() {
  ComPtr<IWMProfileManager> manager;
  EXPECT_EQ(WMCreateProfileManager(manager), S_OK);
  return manager;
}

TEST(ProfileText, ASavedProfileLoadsBackUnchanged) {
  auto manager = Manager();
  auto original = wmf::MakeProfile(SampleProfile());
  std::string text;
  ASSERT_EQ(manager->SaveProfile(original.Get(), text), S_OK);
  EXPECT_NE(text.find("<profile"), std::string::npos);

  ComPtr<IWMProfile> loaded;
  ASSERT_EQ(manager->LoadProfileByData(text, loaded), S_OK) << text;
  auto data = wmf::ReadProfile(*loaded);
  ASSERT_TRUE(data);
  EXPECT_EQ(*data, SampleProfile());
  EXPECT_EQ(manager->SaveProfile(nullptr, text), E_POINTER);
}

TEST(ProfileText, AnEmptyProfileIsValidText) {
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(Manager()->LoadProfileByData(
                "<profile version=\"589824\" name=\"p\" description=\"\"/>", profile),
            S_OK);
  std::uint32_t streams = 1;
  ASSERT_EQ(profile->GetStreamCount(streams), S_OK);
  EXPECT_EQ(streams, 0u);
}

TEST(ProfileText, TextThatIsNoValidProfileIsRefused) {
  auto manager = Manager();
  std::string valid;
  ASSERT_EQ(manager->SaveProfile(wmf::MakeProfile(SampleProfile()).Get(), valid), S_OK);
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = valid;
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
  };
  const std::string cases[] = {
      "test2",
      "",
      valid.substr(0, valid.size() / 2),                     // cut short
      valid + "<profile/>",                                  // two roots
      replaced("<profile ", "<profiles "),                   // unknown root
      replaced("<mutex ", "<mutual "),                       // unknown element
      replaced("version=\"589824\"", "version=\"5\""),       // unknown version
      replaced("number=\"2\"", "number=\"1\""),              // stream number twice
      replaced("number=\"3\"", "number=\"x3\""),             // not a number
      replaced("number=\"3\"", "number=\"200\""),            // beyond the stream numbers
      replaced("streams=\"2 3\"", "streams=\"2 9\""),        // exclusion of a missing stream
      replaced("type=\"{7364", "type=\"{Z364"),              // malformed identifier
      replaced("format=\"6101", "format=\"610"),             // odd hexadecimal
      replaced("format=\"6101020044AC0000", "format=\"61"),  // block shorter than its structure
      replaced(" bitrate=\"128000\"", ""),                   // missing attribute
      replaced("fixedsize=\"1\"", "fixedsize=\"yes\""),      // not a flag
      replaced("&quot;", "&nbsp;"),                          // unknown entity
      replaced("name=\"Audio Stream\"", "name=\"Audio Stream\" name=\"x\""),  // repeated
  };
  for (const std::string& text : cases) {
    ComPtr<IWMProfile> profile;
    EXPECT_EQ(manager->LoadProfileByData(text, profile), WM_E_INVALID_PROFILE_TEXT) << text;
    EXPECT_FALSE(profile);
  }
}

TEST(Markup, RefusesDeepNestingInsteadOfRecursingWithoutEnd) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  EXPECT_FALSE(wmf::ParseMarkup(deep));
  std::string nested = "<a><a><a></a></a></a>";
  EXPECT_TRUE(wmf::ParseMarkup(nested));
  EXPECT_FALSE(wmf::ParseMarkup("<a></b>"));
  EXPECT_FALSE(wmf::ParseMarkup("<a x=\"1\"y=\"2\"/>")) << "attributes need space between";
  EXPECT_FALSE(wmf::ParseMarkup("<a>text</a>"));
}

}  // namespace
