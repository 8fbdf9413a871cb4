// Property pages of the model's filters and the property frame that shows
// them.

#include <gtest/gtest.h>

#include "platform/com/runtime.h"
#include "platform/dshow/filter_element.h"
#include "platform/dshow/model_filters.h"
#include "platform/dshow/property_frame.h"
#include "platform/dshow/property_pages.h"
#include "tests/support/scripted_modal_ui.h"

namespace {

using test_support::ScriptedUi;

ComPtr<IBaseFilter> Compressor() {
  ComPtr<IBaseFilter> filter;
  EXPECT_EQ(dshow::MakeCompressorFilter(dshow::StreamKind::Video, "avenc_mpeg4", filter), S_OK);
  return filter;
}

constexpr CLSID kOtherPage = GUID::Parse("{00000000-1111-2222-3333-444444444444}");

TEST(PropertyPages, OnlyFiltersWithAnElementOfferPages) {
  const auto compressor = Compressor();
  ComPtr<ISpecifyPropertyPages> specify;
  ASSERT_EQ(compressor.As(specify), S_OK);
  CAUUID pages;
  ASSERT_EQ(specify->GetPages(&pages), S_OK);
  ASSERT_EQ(pages.cElems, 1u);
  EXPECT_EQ(pages.pElems[0], CLSID_ElementPropertyPage);
  CoTaskMemFree(pages.pElems);
  EXPECT_EQ(specify->GetPages(nullptr), E_POINTER);
  EXPECT_NE(dshow::ElementOf(compressor.Get()), nullptr);

  for (const ComPtr<IBaseFilter>& plain : {ComPtr<IBaseFilter>(dshow::MakeDecoderFilter({})),
                                           ComPtr<IBaseFilter>(dshow::MakeRendererFilter({})),
                                           ComPtr<IBaseFilter>(dshow::MakeSourceFilter({}))}) {
    EXPECT_FALSE(plain.Supports<ISpecifyPropertyPages>());
    EXPECT_FALSE(plain.Supports<dshow::IFilterElement>());
    EXPECT_EQ(dshow::ElementOf(plain.Get()), nullptr);
  }
  EXPECT_EQ(dshow::ElementOf(nullptr), nullptr);
}

TEST(PropertyFrame, RefusesWhatItCannotShowWithoutShowingAnything) {
  ScriptedUi ui;
  const auto compressor = Compressor();
  ComPtr<IBaseFilter> decoder = dshow::MakeDecoderFilter({});
  IUnknown* withElement[] = {compressor.Get()};
  IUnknown* withoutElement[] = {decoder.Get()};
  const CLSID known[] = {CLSID_ElementPropertyPage};
  const CLSID unknown[] = {kOtherPage};
  EXPECT_EQ(OleCreatePropertyFrame(nullptr, 0, 0, "x", 1, withElement, 1, unknown, 0, 0, nullptr),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(OleCreatePropertyFrame(nullptr, 0, 0, "x", 1, withoutElement, 1, known, 0, 0, nullptr),
            E_NOINTERFACE);
  EXPECT_EQ(OleCreatePropertyFrame(nullptr, 0, 0, "x", 1, nullptr, 1, known, 0, 0, nullptr),
            E_POINTER);
  EXPECT_EQ(OleCreatePropertyFrame(nullptr, 0, 0, "x", 1, withElement, 1, nullptr, 0, 0, nullptr),
            E_POINTER);
  EXPECT_TRUE(ui->shown.empty());
}

}  // namespace
