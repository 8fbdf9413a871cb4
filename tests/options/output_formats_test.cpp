#include "options/output_formats.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_modal_ui.h"

namespace {

using test_support::ScriptedUi;

TEST(ExtensionRule, ReplacesOrAppendsTheExtensionWithinTheFileName) {
  ScriptedUi ui;
  EXPECT_EQ(ApplyExtensionRule(1, "/out/movie.mkv"), "/out/movie.wmv");
  EXPECT_EQ(ApplyExtensionRule(3, "/out/movie.mkv"), "/out/movie.asf");
  EXPECT_EQ(ApplyExtensionRule(1, "/out/movie"), "/out/movie.wmv");
  EXPECT_EQ(ApplyExtensionRule(3, "movie.part1.avi"), "movie.part1.asf");
  EXPECT_EQ(ApplyExtensionRule(0, "/out/movie."), "/out/movie.avi");
  EXPECT_EQ(ApplyExtensionRule(1, ""), ".wmv");
  EXPECT_EQ(ApplyExtensionRule(4, *ApplyExtensionRule(2, "/a/b.avi")), "/a/b.mp4");
  EXPECT_TRUE(ui->shown.empty());
}

TEST(ExtensionRule, NeverCutsAFolderName) {
  ScriptedUi ui;
  EXPECT_EQ(ApplyExtensionRule(1, "/home/me/my.videos/movie"), "/home/me/my.videos/movie.wmv");
  EXPECT_EQ(ApplyExtensionRule(1, "/home/me/my.videos/movie.avi"), "/home/me/my.videos/movie.wmv");
  EXPECT_EQ(ApplyExtensionRule(1, "./clip"), "./clip.wmv");
}

TEST(ExtensionRule, RefusesUnsupportedIdsAndKeepsThePath) {
  for (int id : {7, 20, -1}) {
    ScriptedUi ui;
    EXPECT_EQ(ApplyExtensionRule(id, "/out/movie.mkv"), std::nullopt) << id;
    ASSERT_EQ(ui->shown.size(), 1u);
    EXPECT_EQ(ui->shown[0].text, "Does not support the video format");
    EXPECT_EQ(ui->shown[0].caption, "Error");
    EXPECT_EQ(ui->shown[0].owner, nullptr);
  }
}

TEST(ExtensionRule, RefusesAPathThatWouldNotFitRatherThanCuttingIt) {
  ScriptedUi ui;
  const std::string folder = "/" + std::string(250, 'd') + "/";
  EXPECT_EQ(ApplyExtensionRule(1, folder + "ab"), folder + "ab.wmv");  // 258 bytes fit
  EXPECT_EQ(ApplyExtensionRule(1, folder + "abcd"), std::nullopt);     // 260 would not
  ASSERT_EQ(ui->shown.size(), 1u);
  EXPECT_NE(ui->shown[0].text.find("too long"), std::string::npos);
  EXPECT_EQ(ApplyExtensionRule(1, std::string(600, 'x')), std::nullopt);
}

TEST(OutputFormats, FilterViewAndComboMapping) {
  EXPECT_EQ(SaveDialogFilter(1)->first, "Windows Media Video file (*.wmv)");
  EXPECT_EQ(SaveDialogFilter(4),
            std::make_pair(std::string("MPEG-4 file(*.mp4)"), std::string("*.mp4")));
  EXPECT_EQ(SaveDialogFilter(5),
            std::make_pair(std::string("DSM file(*.dsm)"), std::string("*.dsm")));
  EXPECT_EQ(SaveDialogFilter(7), std::nullopt);

  for (int id : {1, 3}) EXPECT_EQ(OptionsViewFor(id), OptionsView::Bitrate);
  for (int id : {0, 2, 4, 5, 6}) EXPECT_EQ(OptionsViewFor(id), OptionsView::Compressor);
  EXPECT_EQ(OptionsViewFor(-1), std::nullopt);

  EXPECT_EQ(FormatIdFromComboItem(0), 1);
  EXPECT_EQ(FormatIdFromComboItem(1), 3);
  EXPECT_EQ(FormatIdFromComboItem(-1), 1);
  EXPECT_EQ(ComboItemFromFormatId(3), 1);
  for (int id : {0, 1, 2, 4, 99}) EXPECT_EQ(ComboItemFromFormatId(id), 0);
}

}  // namespace
