// The command-line converter's pieces that run inside the program.

#include "app/command_line/convert_session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "resources/resource_ids.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/test_environment.h"

namespace {

// The compressor combos' items after their first ("uncompressed") one, as
// the options dialog opened from the main window shows them.
std::vector<std::string> ComboNames(ui::Dialog& dialog, int id) {
  std::vector<std::string> names;
  ui::Control combo = dialog.Item(id);
  for (int i = 1; i < combo.GetCount(); ++i) names.push_back(combo.GetItemText(i));
  return names;
}

TEST(CompressorListing, NamesTheOptionsDialogsCompressorsInItsOrderWithTheirIndices) {
  test_support::ResetSettings();
  test_support::MainWindowFixture f;
  CReelcastDlg& w = f.Open();
  std::vector<std::string> video, audio;
  f.ui().dialogScripts.push_back([&](ui::Dialog& d) {
    video = ComboNames(d, IDC_COMBO_VIDEO_COMPRESSOR);
    audio = ComboNames(d, IDC_COMBO_AUDIO_COMPRESSOR);
    d.Item(IDC_BUTTON_OPTIONS_CANCEL).Click();
  });
  w.Item(IDC_BUTTON_OUTPUT_SETTINGS).Click();
  ASSERT_FALSE(video.empty());
  ASSERT_FALSE(audio.empty());

  std::string expected = "Video compressors:\n";
  const auto add = [&](const std::vector<std::string>& names) {
    const std::size_t width = std::to_string(names.size() - 1).size();
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string index = std::to_string(i);
      expected += "  " + std::string(width - index.size(), ' ') + index + "  " + names[i] + "\n";
    }
  };
  add(video);
  expected += "Audio compressors:\n";
  add(audio);
  EXPECT_EQ(CompressorListing(), expected);
}

}  // namespace
