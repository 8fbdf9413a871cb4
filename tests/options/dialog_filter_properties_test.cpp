// The filter properties dialog over a built graph, driven as a user drives
// it: the list, the Settings button's state, and edits that reach the
// element the run will use.

#include "options/dialog_filter_properties.h"

#include <gtest/gtest.h>

#include "platform/com/runtime.h"
#include "platform/dshow/filter_element.h"
#include "platform/dshow/guids.h"
#include "platform/dshow/model_filters.h"
#include "platform/property/property_set.h"
#include "resources/resource_ids.h"
#include "tests/engine/fake_media_classes.h"
#include "tests/support/scripted_modal_ui.h"

namespace {

using test_support::ScriptedUi;
using test_support::Shown;

// A filter that cannot tell its name.
class NamelessFilter : public com::Object<IBaseFilter> {
 public:
  HRESULT EnumPins(ComPtr<IEnumPins>&) override { return E_NOTIMPL; }
  HRESULT FindPin(const std::string&, ComPtr<IPin>&) override { return E_NOTIMPL; }
  HRESULT QueryFilterInfo(FILTER_INFO&) override { return E_FAIL; }
  HRESULT JoinFilterGraph(IFilterGraph*, const std::string&) override { return S_OK; }
};

ComPtr<IBaseFilter> Compressor(const char* factory) {
  ComPtr<IBaseFilter> filter;
  EXPECT_EQ(dshow::MakeCompressorFilter(dshow::StreamKind::Video, factory, filter), S_OK);
  return filter;
}

gint64 BitrateOf(IBaseFilter* filter) {
  GValue value = G_VALUE_INIT;
  g_value_init(&value, G_TYPE_INT64);
  g_object_get_property(G_OBJECT(dshow::ElementOf(filter)), "bitrate", &value);
  return g_value_get_int64(&value);
}

class FilterProperties : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CoCreate(CLSID_FilterGraph, graph), S_OK); }
  void Add(const ComPtr<IBaseFilter>& filter, const std::string& name) {
    ASSERT_TRUE(SUCCEEDED(graph->AddFilter(filter.Get(), name)));
  }
  // Runs the dialog with the user's actions; returns its result.
  int Run(std::function<void(ui::Dialog&)> user) {
    ui->dialogScripts.push_back(std::move(user));
    CDialogFilterPerproty dialog(nullptr);
    dialog.graph = graph.Get();
    return dialog.DoModal();
  }
  static std::vector<std::string> Items(ui::Dialog& d) {
    std::vector<std::string> items;
    ui::Control list = d.Item(IDC_LIST_FILTERS);
    for (int i = 0; i < list.GetCount(); ++i) items.push_back(list.GetItemText(i));
    return items;
  }
  static bool SettingsAfterSelecting(ui::Dialog& d, int item) {
    d.Item(IDC_LIST_FILTERS).SelectAsUser(item);
    return d.Item(IDC_BUTTON_FILTER_SETTINGS).IsEnabled();
  }

  ScriptedUi ui;
  ComPtr<IGraphBuilder> graph;
};

using Texts = std::vector<std::string>;

TEST_F(FilterProperties, ListsTheFiltersInOrderAndEnablesSettingsOnlyForFiltersWithPages) {
  Add(dshow::MakeDecoderFilter({}), "Video Decoder");
  Add(Compressor("avenc_mpeg4"), "MPEG-4 compressor");
  Add(MakeCom<NamelessFilter>(), "nameless");
  Texts items;
  bool atStart = true;
  std::vector<bool> states;
  Run([&](ui::Dialog& d) {
    items = Items(d);
    atStart = d.Item(IDC_BUTTON_FILTER_SETTINGS).IsEnabled();
    states.push_back(SettingsAfterSelecting(d, 1));  // the compressor
    states.push_back(SettingsAfterSelecting(d, 2));  // "<ERROR>": finds nothing, keeps the state
    states.push_back(SettingsAfterSelecting(d, 0));  // the decoder
    states.push_back(SettingsAfterSelecting(d, 2));
  });
  EXPECT_EQ(items, (Texts{"Video Decoder", "MPEG-4 compressor", "<ERROR>"}));
  EXPECT_FALSE(atStart) << "item 0, the decoder, has no pages";
  EXPECT_EQ(states, (std::vector<bool>{true, true, false, false}));
}

TEST_F(FilterProperties, SettingsEditsTheElementOfTheFilterThatTheRunUses) {
  const auto compressor = Compressor("avenc_mpeg4");
  Add(dshow::MakeDecoderFilter({}), "Video Decoder");
  Add(compressor, "MPEG-4 compressor");
  ui->propertyScripts.push_back(
      [](property::PropertySet& element) { return element.Set("bitrate", std::int64_t{1234567}); });
  ui::Dialog* shownDialog = nullptr;
  Run([&](ui::Dialog& d) {
    shownDialog = &d;
    ASSERT_TRUE(SettingsAfterSelecting(d, 1));
    d.Item(IDC_BUTTON_FILTER_SETTINGS).Click();
    EXPECT_FALSE(d.HasEnded()) << "the dialog stays until Continue";
  });
  const auto frames = ui->OfKind(Shown::Kind::Properties);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].text, "MPEG-4 compressor");
  EXPECT_EQ(frames[0].owner, shownDialog);
  EXPECT_EQ(BitrateOf(compressor.Get()), 1234567);
}

TEST_F(FilterProperties, AGraphOfFiltersWithoutPagesLeavesSettingsDisabledThroughout) {
  Add(dshow::MakeDecoderFilter({}), "Video Decoder");
  Add(dshow::MakeRendererFilter({}), "Video Renderer");
  std::vector<bool> states;
  Run([&](ui::Dialog& d) {
    states.push_back(d.Item(IDC_BUTTON_FILTER_SETTINGS).IsEnabled());
    states.push_back(SettingsAfterSelecting(d, 1));
    states.push_back(SettingsAfterSelecting(d, 0));
    d.Item(IDC_BUTTON_FILTER_SETTINGS).Click();
  });
  EXPECT_EQ(states, (std::vector<bool>{false, false, false}));
  EXPECT_TRUE(ui->OfKind(Shown::Kind::Properties).empty());
}

TEST_F(FilterProperties, AGraphThatCannotListItsFiltersShowsOneErrorItem) {
  graph = MakeCom<engine_test::FakeGraph>(engine_test::FakeGraphSetup{});  // EnumFilters fails
  Texts items;
  Run([&](ui::Dialog& d) {
    items = Items(d);
    d.Item(IDC_BUTTON_FILTER_SETTINGS).Click();
  });
  EXPECT_EQ(items, (Texts{"<ERROR>"}));
  EXPECT_TRUE(ui->OfKind(Shown::Kind::Properties).empty());
  EXPECT_TRUE(ui->MessageTexts().empty());
}

TEST_F(FilterProperties, LongNamesAreStillFound) {
  // 150 bytes, and one of 300 bytes of two-byte letters listed cut to 255
  // bytes on a letter boundary.
  const std::string longName(150, 'n');
  std::string longer;
  for (int i = 0; i < 150; ++i) longer += "\xC3\xA9";
  Add(Compressor("avenc_mpeg4"), longName);
  Add(Compressor("avenc_wmv2"), longer);
  Texts items;
  std::vector<bool> states;
  Run([&](ui::Dialog& d) {
    items = Items(d);
    states.push_back(d.Item(IDC_BUTTON_FILTER_SETTINGS).IsEnabled());
    states.push_back(SettingsAfterSelecting(d, 1));
    d.Item(IDC_BUTTON_FILTER_SETTINGS).Click();
  });
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0], longName);
  EXPECT_EQ(items[1], longer.substr(0, 254));
  EXPECT_EQ(states, (std::vector<bool>{true, true}));
  const auto frames = ui->OfKind(Shown::Kind::Properties);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].text, longer) << "the frame's caption is the full name";
}

TEST_F(FilterProperties, ContinueOrEscapeEndsTheDialogAtOnce) {
  Add(dshow::MakeDecoderFilter({}), "Video Decoder");
  EXPECT_EQ(Run([](ui::Dialog& d) { d.Item(IDCANCEL).Click(); }), IDCANCEL);
  EXPECT_EQ(Run([](ui::Dialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0)); }),
            IDCANCEL);

  // As the run control shows it: template 133 with its own texts.
  ui->Clear();
  ShowFilterProperties(graph.Get(), nullptr);
  const auto dialogs = ui->OfKind(Shown::Kind::Dialog);
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].dialogId, IDD_DIALOG_FILTER_PROPERTY);
  EXPECT_EQ(dialogs[0].text, "Set Filter's Properties");
}

}  // namespace
