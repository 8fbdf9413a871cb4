// The codec manager over the installed video encoders: enumeration in the
// compressor catalogue's order, the compression query and state blocks. What
// a confirmed configuration does afterwards is shown through the Settings
// button of the output options dialog.

#include <gtest/gtest.h>

#include <set>

#include "platform/gst/encoders/encoder_catalogue.h"
#include "platform/vfw/kept_configuration.h"
#include "platform/vfw/vfw.h"
#include "tests/support/scripted_modal_ui.h"

namespace {

using test_support::ScriptedUi;

std::optional<vfw::ICINFO> CodecNamed(const std::string& name) {
  vfw::ICINFO info;
  for (vfw::DWORD i = 0; vfw::ICInfo(vfw::ICTYPE_VIDEO, i, &info); ++i)
    if (info.szName == name) return info;
  return std::nullopt;
}

vfw::CodecHandle Open(const vfw::ICINFO& info) {
  return vfw::OpenCodec(info.fccType, info.fccHandler, vfw::ICMODE_COMPRESS);
}

vfw::BITMAPINFOHEADER Rgb(int width, int height) {
  vfw::BITMAPINFOHEADER format;
  format.biWidth = width;
  format.biHeight = height;
  format.biPlanes = 1;
  format.biBitCount = 24;
  format.biCompression = vfw::BI_RGB;
  format.biSizeImage = static_cast<vfw::DWORD>(width * height * 3);
  return format;
}

std::vector<std::uint8_t> StateOf(vfw::HIC codec) {
  std::vector<std::uint8_t> state(static_cast<std::size_t>(vfw::ICGetStateSize(codec)));
  EXPECT_EQ(vfw::ICGetState(codec, state.data(), state.size()), vfw::ICERR_OK);
  return state;
}

TEST(CodecManager, EnumeratesTheVideoCompressorsInCatalogueOrderWithTheirNames) {
  const auto encoders = gst::ListEncoders(gst::StreamKind::Video);
  ASSERT_FALSE(encoders.empty());
  std::set<vfw::DWORD> handlers;
  vfw::ICINFO info;
  vfw::DWORD index = 0;
  for (; vfw::ICInfo(vfw::ICTYPE_VIDEO, index, &info); ++index) {
    ASSERT_LT(index, encoders.size());
    EXPECT_EQ(info.fccType, vfw::ICTYPE_VIDEO);
    EXPECT_EQ(info.szName, encoders[index].factoryName);
    EXPECT_EQ(info.szDescription, encoders[index].longName);
    EXPECT_TRUE(handlers.insert(info.fccHandler).second) << "handlers are unique";

    // The handler opens that codec, and its record says the same.
    const auto codec = Open(info);
    ASSERT_TRUE(codec) << info.szName;
    vfw::ICINFO record;
    EXPECT_EQ(vfw::ICGetInfo(codec.get(), &record, sizeof record),
              static_cast<vfw::LRESULT>(sizeof record));
    EXPECT_EQ(record.szDescription, info.szDescription);
    EXPECT_EQ(record.fccHandler, info.fccHandler);
  }
  EXPECT_EQ(index, encoders.size());
  EXPECT_FALSE(vfw::ICInfo(vfw::mmioFOURCC('a', 'u', 'd', 'c'), 0, &info));
  EXPECT_FALSE(vfw::ICInfo(vfw::ICTYPE_VIDEO, 0, nullptr));
}

TEST(CodecManager, TheCompressionQueryJudgesTheFrameSizeAndTheInputKind) {
  const auto mpeg4 = CodecNamed("avenc_mpeg4");
  ASSERT_TRUE(mpeg4);
  const auto codec = Open(*mpeg4);
  ASSERT_TRUE(codec);
  const auto probe = Rgb(352, 240);
  EXPECT_EQ(vfw::ICCompressQuery(codec.get(), &probe, nullptr), vfw::ICERR_OK);
  const auto topDown = Rgb(352, -240);
  EXPECT_EQ(vfw::ICCompressQuery(codec.get(), &topDown, nullptr), vfw::ICERR_OK);

  auto packed = probe;
  packed.biCompression = vfw::mmioFOURCC('Y', 'U', 'Y', '2');
  EXPECT_EQ(vfw::ICCompressQuery(codec.get(), &packed, nullptr), vfw::ICERR_BADFORMAT);
  auto empty = Rgb(0, 240);
  EXPECT_EQ(vfw::ICCompressQuery(codec.get(), &empty, nullptr), vfw::ICERR_BADFORMAT);
  EXPECT_EQ(vfw::ICCompressQuery(codec.get(), nullptr, nullptr), vfw::ICERR_BADPARAM);

  // H.263 takes only its five picture sizes.
  if (const auto h263 = CodecNamed("avenc_h263")) {
    const auto fixed = Open(*h263);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(vfw::ICCompressQuery(fixed.get(), &probe, nullptr), vfw::ICERR_BADFORMAT);
    const auto cif = Rgb(352, 288);
    EXPECT_EQ(vfw::ICCompressQuery(fixed.get(), &cif, nullptr), vfw::ICERR_OK);
  }
}

TEST(CodecManager, AStateHasOneSizeAndCarriesTheSettingsToAnotherInstance) {
  ScriptedUi ui;
  const auto x264 = CodecNamed("x264enc");
  if (!x264) GTEST_SKIP() << "x264enc is not installed";
  const auto first = Open(*x264);
  EXPECT_TRUE(vfw::ICQueryConfigure(first.get()));
  const auto size = vfw::ICGetStateSize(first.get());
  ASSERT_GT(size, 0);

  // Changed in a dialog that was then cancelled: the instance has the
  // values, nothing is kept.
  ui->propertyScripts.push_back([](property::PropertySet& settings) {
    EXPECT_TRUE(settings.Set("bitrate", std::uint64_t{3333}));
    EXPECT_TRUE(settings.Set("option-string", std::string("ref=1")));
    return false;
  });
  EXPECT_EQ(vfw::ICConfigure(first.get(), nullptr), vfw::ICERR_ABORT);
  EXPECT_EQ(vfw::ICGetStateSize(first.get()), size);
  const auto state = StateOf(first.get());
  EXPECT_FALSE(vfw::KeptConfiguration("x264enc"));

  const auto second = Open(*x264);
  EXPECT_EQ(vfw::ICSetState(second.get(), state.data(), state.size()), size);
  EXPECT_EQ(StateOf(second.get()), state);

  // A block too small for the state is refused.
  std::vector<std::uint8_t> small(static_cast<std::size_t>(size) - 1);
  EXPECT_EQ(vfw::ICGetState(second.get(), small.data(), small.size()), vfw::ICERR_BADSIZE);
}

TEST(CodecManager, AnotherCodecsStateIsNotTaken) {
  const auto mpeg4 = CodecNamed("avenc_mpeg4");
  const auto wmv2 = CodecNamed("avenc_wmv2");
  ASSERT_TRUE(mpeg4 && wmv2);
  const auto a = Open(*mpeg4);
  const auto b = Open(*wmv2);
  const auto before = StateOf(b.get());
  auto foreign = StateOf(a.get());
  foreign.resize(before.size());
  EXPECT_EQ(vfw::ICSetState(b.get(), foreign.data(), foreign.size()), 0);
  EXPECT_EQ(vfw::ICSetState(b.get(), nullptr, 0), 0);
  EXPECT_EQ(StateOf(b.get()), before);
}

TEST(CodecManager, HandlesThatAreNotOpenAreRefused) {
  EXPECT_EQ(vfw::ICSendMessage(nullptr, vfw::ICM_GETSTATE, 0, 0), vfw::ICERR_BADHANDLE);
  EXPECT_EQ(vfw::ICClose(nullptr), vfw::ICERR_BADHANDLE);
  const auto mpeg4 = CodecNamed("avenc_mpeg4");
  ASSERT_TRUE(mpeg4);
  vfw::HIC codec = vfw::ICOpen(mpeg4->fccType, mpeg4->fccHandler, vfw::ICMODE_COMPRESS);
  ASSERT_NE(codec, nullptr);
  vfw::ICINFO info;
  EXPECT_EQ(vfw::ICGetInfo(codec, &info, sizeof info - 1), 0);
  EXPECT_EQ(vfw::ICSendMessage(codec, 0x7777, 0, 0), vfw::ICERR_UNSUPPORTED);
  EXPECT_EQ(vfw::ICClose(codec), vfw::ICERR_OK);
  EXPECT_EQ(vfw::ICClose(codec), vfw::ICERR_BADHANDLE);

  EXPECT_EQ(vfw::ICOpen(mpeg4->fccType, mpeg4->fccHandler, vfw::ICMODE_DECOMPRESS), nullptr);
  EXPECT_EQ(vfw::ICOpen(vfw::ICTYPE_VIDEO, 0xFFFFFFF0u, vfw::ICMODE_COMPRESS), nullptr);
}

}  // namespace
