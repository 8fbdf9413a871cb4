#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/wmf/codec_catalogue.h"
#include "platform/wmf/profile_objects.h"

namespace {

using wmf::MediaType;

constexpr std::uint32_t kWmv3 = MakeFourCC('W', 'M', 'V', '3');

ComPtr<IWMProfileManager> Manager() {
  ComPtr<IWMProfileManager> manager;
  EXPECT_EQ(WMCreateProfileManager(manager), S_OK);
  return manager;
}

MediaType AudioType(std::uint16_t cbSize, std::size_t extraBytes) {
  WAVEFORMATEX wave;
  wave.wFormatTag = WAVE_FORMAT_WMAUDIO2;
  wave.cbSize = cbSize;
  MediaType type;
  type.majortype = WMMEDIATYPE_Audio;
  type.formattype = WMFORMAT_WaveFormatEx;
  type.format.resize(kWaveFormatExSize + extraBytes);
  std::memcpy(type.format.data(), &wave, sizeof wave);
  return type;
}

// A complete stream of the profile: numbered and with its media type.
ComPtr<IWMStreamConfig> NewAudioStream(IWMProfile& profile, std::uint16_t number) {
  ComPtr<IWMStreamConfig> config;
  EXPECT_EQ(profile.CreateNewStream(WMMEDIATYPE_Audio, config), S_OK);
  EXPECT_EQ(config->SetStreamNumber(number), S_OK);
  ComPtr<IWMMediaProps> props;
  EXPECT_EQ(config.As(props), S_OK);
  MediaType type = AudioType(0, 0);
  const WM_MEDIA_TYPE view = type.View();
  EXPECT_EQ(props->SetMediaType(&view), S_OK);
  return config;
}

TEST(WmMediaProps, GetMediaTypeReportsTheSizeThenFillsTheCallersBuffer) {
  auto config = wmf::MakeStreamConfig(wmf::VideoFormat(kWmv3, 640, 480, 500000, 400000));
  ComPtr<IWMMediaProps> props;
  ASSERT_EQ(config.As(props), S_OK);

  std::uint32_t size = 0;
  ASSERT_EQ(props->GetMediaType(nullptr, size), S_OK);
  EXPECT_EQ(size, sizeof(WM_MEDIA_TYPE) + sizeof(VIDEOINFOHEADER));

  auto buffer = std::make_unique<std::uint8_t[]>(size);
  auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.get());
  std::uint32_t tooSmall = size - 1;
  EXPECT_EQ(props->GetMediaType(type, tooSmall), ASF_E_BUFFERTOOSMALL);
  ASSERT_EQ(props->GetMediaType(type, size), S_OK);
  EXPECT_EQ(type->formattype, WMFORMAT_VideoInfo);
  ASSERT_EQ(type->cbFormat, sizeof(VIDEOINFOHEADER));
  EXPECT_EQ(type->pbFormat, buffer.get() + sizeof(WM_MEDIA_TYPE)) << "block inside the buffer";
  VIDEOINFOHEADER header;
  std::memcpy(&header, type->pbFormat, sizeof header);
  EXPECT_EQ(header.bmiHeader.biCompression, kWmv3);
  EXPECT_EQ(header.bmiHeader.biWidth, 640);
}

TEST(WmMediaProps, SetMediaTypeRefusesTypesTheStreamCannotCarry) {
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(Manager()->CreateEmptyProfile(WMT_VER_9_0, profile), S_OK);
  ComPtr<IWMStreamConfig> config;
  ASSERT_EQ(profile->CreateNewStream(WMMEDIATYPE_Audio, config), S_OK);
  ComPtr<IWMMediaProps> props;
  ASSERT_EQ(config.As(props), S_OK);
  std::uint32_t size = 0;
  EXPECT_TRUE(FAILED(props->GetMediaType(nullptr, size))) << "no media type set yet";

  EXPECT_EQ(props->SetMediaType(nullptr), E_POINTER);
  // cbSize claims more extra bytes than the block holds.
  MediaType truncated = AudioType(10, 4);
  WM_MEDIA_TYPE view = truncated.View();
  EXPECT_EQ(props->SetMediaType(&view), E_INVALIDARG);
  // A format size without bytes.
  view.pbFormat = nullptr;
  EXPECT_EQ(props->SetMediaType(&view), E_INVALIDARG);
  // Video type on an audio stream.
  MediaType video = *wmf::VideoFormat(kWmv3, 320, 240, 1, 1).mediaType;
  view = video.View();
  EXPECT_EQ(props->SetMediaType(&view), E_INVALIDARG);

  MediaType whole = AudioType(10, 10);
  view = whole.View();
  EXPECT_EQ(props->SetMediaType(&view), S_OK);
  MediaType read;
  ASSERT_EQ(wmf::ReadMediaType(*props, read), S_OK);
  EXPECT_EQ(read, whole);
}

TEST(WmStreamConfig, OnlyVideoStreamsHaveVideoProperties) {
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(Manager()->CreateEmptyProfile(WMT_VER_9_0, profile), S_OK);
  for (const GUID& type : {WMMEDIATYPE_Audio, WMMEDIATYPE_Video, WMMEDIATYPE_Script}) {
    ComPtr<IWMStreamConfig> config;
    ASSERT_EQ(profile->CreateNewStream(type, config), S_OK);
    EXPECT_TRUE(config.Supports<IWMMediaProps>());
    EXPECT_EQ(config.Supports<IWMVideoMediaProps>(), type == WMMEDIATYPE_Video);
  }
  ComPtr<IWMStreamConfig> config;
  EXPECT_EQ(profile->CreateNewStream(GUID_NULL, config), E_INVALIDARG);
  EXPECT_FALSE(config);
}

TEST(WmProfile, AddStreamKeepsACopyOfCompleteUniquelyNumberedStreams) {
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(Manager()->CreateEmptyProfile(WMT_VER_9_0, profile), S_OK);

  ComPtr<IWMStreamConfig> unnumbered;
  ASSERT_EQ(profile->CreateNewStream(WMMEDIATYPE_Audio, unnumbered), S_OK);
  EXPECT_EQ(profile->AddStream(unnumbered.Get()), E_INVALIDARG);
  EXPECT_EQ(unnumbered->SetStreamNumber(128), E_INVALIDARG);
  ASSERT_EQ(unnumbered->SetStreamNumber(1), S_OK);
  EXPECT_EQ(profile->AddStream(unnumbered.Get()), E_INVALIDARG) << "no media type yet";
  EXPECT_EQ(profile->AddStream(nullptr), E_POINTER);

  auto audio = NewAudioStream(*profile, 1);
  ASSERT_EQ(audio->SetStreamName("Audio Stream"), S_OK);
  ASSERT_EQ(profile->AddStream(audio.Get()), S_OK);
  EXPECT_EQ(profile->AddStream(audio.Get()), E_INVALIDARG) << "number 1 is taken";

  // Edits after adding do not reach the profile until ReconfigStream.
  ASSERT_EQ(audio->SetBitrate(99), S_OK);
  ComPtr<IWMStreamConfig> stored;
  ASSERT_EQ(profile->GetStreamByNumber(1, stored), S_OK);
  std::uint32_t bitrate = 1;
  ASSERT_EQ(stored->GetBitrate(bitrate), S_OK);
  EXPECT_EQ(bitrate, 0u);
  ASSERT_EQ(profile->ReconfigStream(audio.Get()), S_OK);
  ASSERT_EQ(profile->GetStream(0, stored), S_OK);
  ASSERT_EQ(stored->GetBitrate(bitrate), S_OK);
  EXPECT_EQ(bitrate, 99u);
  EXPECT_EQ(profile->GetStream(1, stored), E_INVALIDARG);
  EXPECT_FALSE(stored);
}

TEST(WmProfile, MutualExclusionsNameStreamsOfTheProfile) {
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(Manager()->CreateEmptyProfile(WMT_VER_9_0, profile), S_OK);
  ASSERT_EQ(profile->AddStream(NewAudioStream(*profile, 2).Get()), S_OK);
  ASSERT_EQ(profile->AddStream(NewAudioStream(*profile, 3).Get()), S_OK);

  ComPtr<IWMMutualExclusion> exclusion;
  ASSERT_EQ(profile->CreateNewMutualExclusion(exclusion), S_OK);
  ASSERT_EQ(exclusion->AddStream(2), S_OK);
  EXPECT_EQ(exclusion->AddStream(2), E_INVALIDARG);
  EXPECT_EQ(profile->AddMutualExclusion(exclusion.Get()), E_INVALIDARG) << "no type set";
  ASSERT_EQ(exclusion->SetType(CLSID_WMMutex_Bitrate), S_OK);
  ASSERT_EQ(exclusion->AddStream(4), S_OK);
  EXPECT_EQ(profile->AddMutualExclusion(exclusion.Get()), E_INVALIDARG) << "stream 4 is absent";
  ASSERT_EQ(exclusion->RemoveStream(4), S_OK);
  ASSERT_EQ(exclusion->AddStream(3), S_OK);
  ASSERT_EQ(profile->AddMutualExclusion(exclusion.Get()), S_OK);

  // Removing a stream takes it out of the exclusions as well.
  ASSERT_EQ(profile->RemoveStreamByNumber(2), S_OK);
  ComPtr<IWMMutualExclusion> stored;
  ASSERT_EQ(profile->GetMutualExclusion(0, stored), S_OK);
  std::vector<std::uint16_t> streams;
  ASSERT_EQ(stored->GetStreams(streams), S_OK);
  EXPECT_EQ(streams, std::vector<std::uint16_t>{3});
}

TEST(WmCodecInfo, DefaultCatalogueOffersTheWindowsMediaFormatsTheWriterProduces) {
  ComPtr<IWMCodecInfo> info;
  ASSERT_EQ(Manager().As(info), S_OK);

  std::vector<WAVEFORMATEX> waves;
  std::uint32_t codecs = 0;
  ASSERT_EQ(info->GetCodecInfoCount(WMMEDIATYPE_Audio, codecs), S_OK);
  for (std::uint32_t i = 0; i < codecs; ++i) {
    std::uint32_t formats = 0;
    ASSERT_EQ(info->GetCodecFormatCount(WMMEDIATYPE_Audio, i, formats), S_OK);
    for (std::uint32_t j = 0; j < formats; ++j) {
      ComPtr<IWMStreamConfig> config;
      ASSERT_EQ(info->GetCodecFormat(WMMEDIATYPE_Audio, i, j, config), S_OK);
      auto stream = wmf::ReadStream(*config);
      ASSERT_TRUE(stream && stream->mediaType);
      ASSERT_TRUE(wmf::FormatBlockIsWhole(*stream->mediaType));
      const auto wave = *wmf::FormatAs<WAVEFORMATEX>(stream->mediaType->format);
      EXPECT_EQ(stream->bitrate, wave.nAvgBytesPerSec * 8);
      EXPECT_EQ(wave.wFormatTag, WAVE_FORMAT_WMAUDIO2);
      EXPECT_GE(wave.nAvgBytesPerSec * 8, 32000u);
      EXPECT_LE(wave.nAvgBytesPerSec * 8, 320000u);
      waves.push_back(wave);
    }
  }
  for (std::uint32_t rate : {44100u, 48000u}) {
    for (std::uint32_t bytes : {8000u, 16000u, 24000u, 40000u}) {
      const bool found = std::ranges::any_of(waves, [&](const WAVEFORMATEX& w) {
        return w.nSamplesPerSec == rate && w.nChannels == 2 && w.nAvgBytesPerSec == bytes;
      });
      EXPECT_TRUE(found) << rate << " Hz, " << bytes << " bytes/s";
    }
    EXPECT_TRUE(std::ranges::any_of(waves, [&](const WAVEFORMATEX& w) {
      return w.nSamplesPerSec == rate && w.nChannels == 1;
    }));
  }

  ASSERT_EQ(info->GetCodecInfoCount(WMMEDIATYPE_Video, codecs), S_OK);
  ASSERT_GE(codecs, 1u);
  ComPtr<IWMStreamConfig> config;
  ASSERT_EQ(info->GetCodecFormat(WMMEDIATYPE_Video, 0, 0, config), S_OK);
  auto stream = wmf::ReadStream(*config);
  ASSERT_TRUE(stream && stream->mediaType);
  EXPECT_EQ(stream->mediaType->formattype, WMFORMAT_VideoInfo);
  EXPECT_EQ(wmf::FormatAs<VIDEOINFOHEADER>(stream->mediaType->format)->bmiHeader.biCompression,
            kWmv3);
  EXPECT_EQ(info->GetCodecFormat(WMMEDIATYPE_Video, codecs, 0, config), E_INVALIDARG);
  EXPECT_EQ(info->GetCodecFormatCount(WMMEDIATYPE_Script, 0, codecs), E_INVALIDARG);
}

TEST(WmCodecInfo, AScopedCatalogueReplacesTheDefaultForNewManagersOnly) {
  auto before = Manager();
  {
    wmf::ScopedCodecCatalogue scoped({});
    ComPtr<IWMCodecInfo> info;
    ASSERT_EQ(Manager().As(info), S_OK);
    std::uint32_t codecs = 1;
    ASSERT_EQ(info->GetCodecInfoCount(WMMEDIATYPE_Audio, codecs), S_OK);
    EXPECT_EQ(codecs, 0u);
    ASSERT_EQ(before.As(info), S_OK);
    ASSERT_EQ(info->GetCodecInfoCount(WMMEDIATYPE_Audio, codecs), S_OK);
    EXPECT_GT(codecs, 0u) << "a manager keeps the catalogue it was made with";
  }
  ComPtr<IWMCodecInfo> info;
  ASSERT_EQ(Manager().As(info), S_OK);
  std::uint32_t codecs = 0;
  ASSERT_EQ(info->GetCodecInfoCount(WMMEDIATYPE_Audio, codecs), S_OK);
  EXPECT_GT(codecs, 0u);
}

}  // namespace
