#include "app/command_line/batch_plan.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Outputs(const BatchPlan& plan) {
  std::vector<std::string> outputs;
  for (const BatchItem& item : plan.items) outputs.push_back(item.output);
  return outputs;
}

TEST(BatchPlan, NamesEachOutputAfterItsSourceWithTheFormatsExtension) {
  const BatchPlan plan = PlanBatch({{"clips/holiday.mp4", "/home/u/clips/holiday.mp4"},
                                    {"my.old.clip.avi", "/home/u/my.old.clip.avi"},
                                    {"README", "/home/u/README"},
                                    {".hidden", "/home/u/.hidden"},
                                    {"a.b/noext", "/home/u/a.b/noext"}},
                                   "/out", "wmv");
  EXPECT_EQ(Outputs(plan),
            (std::vector<std::string>{"/out/holiday.wmv", "/out/my.old.clip.wmv", "/out/README.wmv",
                                      "/out/.hidden.wmv", "/out/noext.wmv"}));
  EXPECT_EQ(plan.items[0].source, "clips/holiday.mp4") << "named as the user gave it";
  EXPECT_TRUE(plan.notes.empty());
}

TEST(BatchPlan, SourcesOfTheSameNameGetNumberedOutputsAndEachOneIsNoted) {
  const BatchPlan plan = PlanBatch({{"a/clip.mp4", "/a/clip.mp4"},
                                    {"b/clip.mp4", "/b/clip.mp4"},
                                    {"clip.avi", "/c/clip.avi"},
                                    {"clip-2.mkv", "/c/clip-2.mkv"}},
                                   "/out/", "mkv");
  // clip-2.mkv keeps its own name; the later clips take the next free ones.
  EXPECT_EQ(Outputs(plan), (std::vector<std::string>{"/out/clip.mkv", "/out/clip-3.mkv",
                                                     "/out/clip-4.mkv", "/out/clip-2.mkv"}));
  ASSERT_EQ(plan.notes.size(), 2u);
  EXPECT_EQ(plan.notes[0],
            "b/clip.mp4: written to /out/clip-3.mkv, as /out/clip.mkv is another source's");
  EXPECT_EQ(plan.notes[1].rfind("clip.avi: written to /out/clip-4.mkv", 0), 0u);
}

TEST(BatchPlan, NoOutputIsASourceAndASourceNamedTwiceIsConvertedOnce) {
  // Converting a folder into itself, WMV to WMV: the sources stay as they are.
  const BatchPlan plan = PlanBatch({{"v/talk.wmv", "/v/talk.wmv"},
                                    {"./v/../v/talk.wmv", "/v/talk.wmv"},
                                    {"other/talk.mp4", "/other/talk.mp4"},
                                    {"v/talk-2.wmv", "/v/talk-2.wmv"}},
                                   "/v", "wmv");
  EXPECT_EQ(Outputs(plan),
            (std::vector<std::string>{"/v/talk-3.wmv", "/v/talk-4.wmv", "/v/talk-2-2.wmv"}));
  ASSERT_EQ(plan.notes.size(), 4u);
  EXPECT_EQ(plan.notes[0], "./v/../v/talk.wmv: named more than once, converted once");
  EXPECT_EQ(plan.notes[1], "v/talk.wmv: written to /v/talk-3.wmv, as /v/talk.wmv is a source");
  EXPECT_EQ(plan.notes[2], "other/talk.mp4: written to /v/talk-4.wmv, as /v/talk.wmv is a source");
  EXPECT_EQ(plan.notes[3],
            "v/talk-2.wmv: written to /v/talk-2-2.wmv, as /v/talk-2.wmv is a source");
}

}  // namespace
