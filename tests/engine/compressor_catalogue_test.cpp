// The compressor catalogue over the real encoders and over a fake category
// with chosen names and failures.

#include "engine/compressor_catalogue.h"

#include <gtest/gtest.h>

#include "platform/dshow/filter_role.h"
#include "tests/engine/fake_media_classes.h"
#include "tests/support/scripted_modal_ui.h"

namespace {

using engine_test::FakeDevices;
using engine_test::FakeEntry;
using test_support::ScriptedUi;

int InputsAndOutputs(IBaseFilter& filter) {
  ComPtr<IEnumPins> pins;
  filter.EnumPins(pins);
  int inputs = 0, outputs = 0;
  ComPtr<IPin> pin;
  while (pins->Next(pin) == S_OK) {
    PIN_DIRECTION direction;
    pin->QueryDirection(direction);
    ++(direction == PINDIR_INPUT ? inputs : outputs);
  }
  return inputs * 10 + outputs;
}

TEST(CompressorCatalogue, ListsAndBindsTheInstalledEncodersInOneOrder) {
  ScriptedUi ui;
  const auto video = ListCompressors(CompressorKind::Video);
  const auto audio = ListCompressors(CompressorKind::Audio);
  ASSERT_FALSE(video.empty());
  ASSERT_FALSE(audio.empty());
  EXPECT_EQ(ListCompressors(CompressorKind::Video), video) << "the same order every time";

  // Binding index k gives the encoder listed at k.
  const auto x264 = std::find(video.begin(), video.end(), "x264 H.264 Encoder");
  ASSERT_NE(x264, video.end());
  ComPtr<IBaseFilter> filter;
  GetCompressor(static_cast<int>(x264 - video.begin()), &filter);
  ASSERT_TRUE(filter);
  EXPECT_EQ(InputsAndOutputs(*filter), 11);
  ComPtr<dshow::IModelFilter> model;
  ASSERT_EQ(filter.As(model), S_OK);
  const auto& role = std::get<dshow::CompressorRole>(model->Role());
  EXPECT_EQ(role.factoryName, "x264enc");

  GetAudioCompressor(static_cast<int>(audio.size()) - 1, &filter);
  EXPECT_TRUE(filter);
  EXPECT_TRUE(ui->shown.empty());
}

TEST(CompressorCatalogue, AnIndexOutsideTheListBindsNothingAndSaysNothing) {
  ScriptedUi ui;
  const int count = static_cast<int>(ListCompressors(CompressorKind::Video).size());
  ComPtr<IBaseFilter> filter = dshow::MakeDecoderFilter({});
  GetCompressor(count, &filter);
  EXPECT_FALSE(filter) << "the slot is emptied first";
  GetCompressor(-1, &filter);
  EXPECT_FALSE(filter);
  GetAudioCompressor(-2, &filter);
  EXPECT_FALSE(filter);
  GetAudioCompressor(100000, &filter);
  EXPECT_FALSE(filter);
  EXPECT_TRUE(ui->shown.empty());
}

TEST(CompressorCatalogue, TheDefaultIsTheFirstNameHoldingTheFragmentInAsciiSmallLetters) {
  ScriptedUi ui;
  FakeDevices devices;
  devices->video = {{"Some Encoder"},
                    {"FFD\xC3\x84SHOW VIDEO ENCODER"},  // a non-ASCII letter differs
                    {"FFDSHOW V\xC4\xB0"
                     "DEO ENCODER"},  // capital dotted I is not I
                    {"FFDShow Video Encoder (libavcodec)"},
                    {"ffdshow video encoder"}};
  devices->audio = {{"IMA ADPCM"}, {"Microsoft ADPCM"}, {"microsoft adpcm"}};
  EXPECT_EQ(FindDefaultVideoCompressor(), 3);
  EXPECT_EQ(FindDefaultAudioCompressor(), 1);

  devices->video = {{"x264 H.264 Encoder"}};
  devices->audio = {};
  EXPECT_EQ(FindDefaultVideoCompressor(), std::nullopt);
  EXPECT_EQ(FindDefaultAudioCompressor(), std::nullopt);
  EXPECT_TRUE(ListCompressors(CompressorKind::Audio).empty()) << "an empty category";
  EXPECT_TRUE(ui->shown.empty());
}

TEST(CompressorCatalogue, EntriesWithoutAReadableNameDoNotCount) {
  ScriptedUi ui;
  FakeDevices devices;
  FakeEntry unreadable{"Hidden"};
  unreadable.storageFails = true;
  FakeEntry nameless{"Nameless"};
  nameless.nameMissing = true;
  FakeEntry broken{"Broken"};
  broken.bindFails = true;
  devices->video = {unreadable, {"First"}, nameless, broken, {"ffdshow video encoder"}};
  EXPECT_EQ(ListCompressors(CompressorKind::Video),
            (std::vector<std::string>{"First", "Broken", "ffdshow video encoder"}));
  EXPECT_EQ(FindDefaultVideoCompressor(), 2);

  ComPtr<IBaseFilter> filter;
  GetCompressor(2, &filter);
  EXPECT_TRUE(filter) << "index 2 is the third entry that counts";
  EXPECT_TRUE(ui->shown.empty());

  GetCompressor(1, &filter);
  EXPECT_FALSE(filter);
  EXPECT_EQ(ui->MessageTexts(), std::vector<std::string>{"Failed to bind to object"});
  EXPECT_EQ(ui->shown[0].flags, MB_OK | MB_ICONEXCLAMATION);
}

TEST(CompressorCatalogue, IsEnumeratedAnewForEveryCall) {
  ScriptedUi ui;
  FakeDevices devices;
  devices->video = {{"Old"}};
  EXPECT_EQ(ListCompressors(CompressorKind::Video), std::vector<std::string>{"Old"});
  devices->video = {{"Installed meanwhile"}, {"Old"}};
  EXPECT_EQ(ListCompressors(CompressorKind::Video).size(), 2u);
  ComPtr<IBaseFilter> filter;
  GetCompressor(0, &filter);
  FindDefaultVideoCompressor();
  EXPECT_EQ(devices->enumerations, 4);
}

TEST(CompressorCatalogue, ReportsEveryFailureOnceAndLeavesNoCompressor) {
  ScriptedUi ui;
  {
    FakeDevices devices;
    devices->video = {{"ffdshow video encoder"}};
    devices->enumeratorResult = E_OUTOFMEMORY;
    EXPECT_TRUE(ListCompressors(CompressorKind::Video).empty());
    EXPECT_EQ(FindDefaultVideoCompressor(), std::nullopt);
    EXPECT_EQ(ui->MessageTexts(), std::vector<std::string>(2, "Failed to create class enumerator"));
  }
  ui->Clear();
  {
    engine_test::ClassOverride missing(CLSID_SystemDeviceEnum);
    ComPtr<IBaseFilter> filter;
    GetCompressor(0, &filter);
    EXPECT_FALSE(filter);
    EXPECT_EQ(ui->MessageTexts(), std::vector<std::string>{"Failed to create system enumerator"});
  }
  ui->Clear();
  GetCompressor(0, nullptr);
  GetAudioCompressor(0, nullptr);
  EXPECT_EQ(ui->MessageTexts(),
            (std::vector<std::string>{"GetCompressor received invalid pointer",
                                      "GetAudioCompressor received invalid pointer"}));
}

}  // namespace
