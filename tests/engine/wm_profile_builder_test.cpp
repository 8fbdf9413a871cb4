#include "engine/wm_profile_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/wmf/codec_catalogue.h"
#include "platform/wmf/profile_objects.h"

namespace {

constexpr std::uint32_t kWmv3 = MakeFourCC('W', 'M', 'V', '3');
constexpr std::uint32_t kWmv2 = MakeFourCC('W', 'M', 'V', '2');

wmf::StreamData Wma(std::uint32_t bytesPerSec, std::uint16_t blockAlign, std::uint32_t rate = 44100,
                    std::uint16_t channels = 2, std::vector<std::uint8_t> extra = {}) {
  return wmf::AudioFormat(WAVE_FORMAT_WMAUDIO2, rate, channels, bytesPerSec, blockAlign,
                          std::move(extra));
}

wmf::Codec AudioCodec(std::vector<wmf::StreamData> formats) {
  return {"test audio", WMMEDIATYPE_Audio, std::move(formats)};
}

wmf::Codec VideoCodec(std::vector<wmf::StreamData> formats) {
  return {"test video", WMMEDIATYPE_Video, std::move(formats)};
}

AudioStreamParams Audio128k() { return {128000, WAVE_FORMAT_WMAUDIO2, 44100, 2}; }

VideoStreamParams Video(std::uint32_t frameRate = 25, std::uint32_t fourcc = kWmv3) {
  return {fourcc, 798720, 480, 640, frameRate, 0, 8};
}

struct Generated {
  HRESULT hr = E_UNEXPECTED;
  std::optional<wmf::ProfileData> profile;
};

Generated Generate(const AudioStreamParams& audio, std::vector<VideoStreamParams> videos,
                   const std::uint32_t* scriptBitrate = nullptr) {
  ComPtr<IWMProfile> profile;
  Generated result;
  result.hr = GenerateProfile(&audio, scriptBitrate, static_cast<std::uint16_t>(videos.size()),
                              videos.empty() ? nullptr : videos.data(), &profile, WMT_VER_9_0);
  if (profile) result.profile = wmf::ReadProfile(*profile);
  return result;
}

WAVEFORMATEX WaveOf(const wmf::StreamData& stream) {
  return *wmf::FormatAs<WAVEFORMATEX>(stream.mediaType->format);
}

VIDEOINFOHEADER HeaderOf(const wmf::StreamData& stream) {
  return *wmf::FormatAs<VIDEOINFOHEADER>(stream.mediaType->format);
}

TEST(GenerateProfile, AudioBitrateMustLieWithin249BitsPerSecond) {
  struct Case {
    std::uint32_t bytesPerSec;
    bool accepted;
  };
  for (const Case c :
       {Case{15969, true}, Case{16031, true}, Case{15968, false}, Case{16032, false}}) {
    wmf::ScopedCodecCatalogue catalogue({AudioCodec({Wma(c.bytesPerSec, 100)}),
                                         VideoCodec({wmf::VideoFormat(kWmv3, 320, 240, 1, 1)})});
    const auto result = Generate(Audio128k(), {Video()});
    if (c.accepted) {
      ASSERT_EQ(result.hr, S_OK) << c.bytesPerSec;
      // The stream carries the format's own bitrate, not the requested one.
      EXPECT_EQ(result.profile->streams[0].bitrate, c.bytesPerSec * 8);
    } else {
      EXPECT_EQ(result.hr, NS_E_AUDIO_CODEC_NOT_INSTALLED) << c.bytesPerSec;
      EXPECT_FALSE(result.profile);
    }
  }
}

TEST(GenerateProfile, AudioFormatMustMatchRateChannelsAndTag) {
  wmf::ScopedCodecCatalogue catalogue({AudioCodec({Wma(16000, 1, 48000), Wma(16000, 2, 44100, 1),
                                                   wmf::AudioFormat(0x0162, 44100, 2, 16000, 3)})});
  EXPECT_EQ(Generate(Audio128k(), {}).hr, NS_E_AUDIO_CODEC_NOT_INSTALLED)
      << "the nearest format is not taken instead";
  wmf::ScopedCodecCatalogue none({});
  EXPECT_EQ(Generate(Audio128k(), {}).hr, NS_E_AUDIO_CODEC_NOT_INSTALLED);
}

TEST(GenerateProfile, BlockAlignmentBreaksTiesBetweenAudioFormats) {
  // Two codecs, scanned codec by codec; the extra byte tells equal
  // alignments apart.
  wmf::ScopedCodecCatalogue catalogue(
      {AudioCodec({Wma(16000, 500, 44100, 2, {1}), Wma(16000, 300, 44100, 2, {2}),
                   Wma(16000, 700, 44100, 2, {3})}),
       AudioCodec({Wma(16000, 300, 44100, 2, {4}), Wma(16000, 700, 44100, 2, {5})}),
       VideoCodec({wmf::VideoFormat(kWmv3, 320, 240, 1, 1)})});

  const auto withVideo = Generate(Audio128k(), {Video()});
  ASSERT_EQ(withVideo.hr, S_OK);
  const auto& audio = withVideo.profile->streams[0];
  EXPECT_EQ(WaveOf(audio).nBlockAlign, 300);
  EXPECT_EQ(audio.mediaType->format.back(), 4) << "the last of equal alignments";

  const auto audioOnly = Generate(Audio128k(), {});
  ASSERT_EQ(audioOnly.hr, S_OK);
  EXPECT_EQ(WaveOf(audioOnly.profile->streams[0]).nBlockAlign, 700);
  EXPECT_EQ(audioOnly.profile->streams[0].mediaType->format.back(), 5);
}

TEST(GenerateProfile, AudioStreamIsStreamOneWithItsOwnMediaType) {
  wmf::ScopedCodecCatalogue catalogue({AudioCodec({Wma(16000, 743, 44100, 2, {9, 8, 7})})});
  const auto result = Generate(Audio128k(), {});
  ASSERT_EQ(result.hr, S_OK);
  ASSERT_EQ(result.profile->streams.size(), 1u);
  const wmf::StreamData& audio = result.profile->streams[0];
  EXPECT_EQ(audio.number, 1);
  EXPECT_EQ(audio.name, "Audio Stream");
  EXPECT_EQ(audio.connectionName, "Audio");
  const wmf::MediaType& type = *audio.mediaType;
  EXPECT_EQ(type.subtype, GUID::Parse("{00000161-0000-0010-8000-00AA00389B71}"));
  EXPECT_TRUE(type.fixedSizeSamples);
  EXPECT_FALSE(type.temporalCompression);
  EXPECT_EQ(type.sampleSize, 743u);
  EXPECT_EQ(type.format.size(), 18u + 3u);
  EXPECT_TRUE(result.profile->mutexes.empty());
  EXPECT_EQ(result.profile->name, "Custom Profile");
  EXPECT_EQ(result.profile->version, WMT_VER_9_0);
}

TEST(GenerateProfile, MalformedAudioFormatsFailTheStep) {
  wmf::StreamData other = Wma(16000, 1);
  other.mediaType->formattype = WMFORMAT_VideoInfo;
  {
    wmf::ScopedCodecCatalogue catalogue({AudioCodec({Wma(16000, 1), other})});
    EXPECT_EQ(Generate(Audio128k(), {}).hr, E_FAIL);
  }
  // cbSize claims extra bytes the block does not have: refused, not read.
  wmf::StreamData cut = Wma(16000, 1, 44100, 2, {1, 2});
  cut.mediaType->format.pop_back();
  wmf::ScopedCodecCatalogue catalogue({AudioCodec({cut})});
  EXPECT_EQ(Generate(Audio128k(), {}).hr, E_FAIL);
}

TEST(GenerateProfile, VideoStreamTakesTheFirstFormatWithTheFourccAndTheRequestsValues) {
  wmf::StreamData script = wmf::VideoFormat(kWmv3, 1, 1, 1, 1);
  script.mediaType->formattype = WMFORMAT_Script;  // skipped: not a VIDEOINFOHEADER
  wmf::StreamData first = wmf::VideoFormat(kWmv3, 176, 144, 1, 1);
  first.mediaType->subtype = MediaSubtypeOf(1);  // marks the first match
  wmf::ScopedCodecCatalogue catalogue({AudioCodec({Wma(16000, 1)}),
                                       VideoCodec({wmf::VideoFormat(kWmv2, 1, 1, 1, 1), script}),
                                       VideoCodec({first, wmf::VideoFormat(kWmv3, 1, 1, 1, 1)})});

  const auto result = Generate(Audio128k(), {{kWmv3, 798720, 480, 640, 30, 0, 8}});
  ASSERT_EQ(result.hr, S_OK);
  ASSERT_EQ(result.profile->streams.size(), 2u);
  const wmf::StreamData& video = result.profile->streams[1];
  EXPECT_EQ(video.mediaType->subtype, MediaSubtypeOf(1));
  EXPECT_EQ(video.number, 2);
  EXPECT_EQ(video.name, "Video Stream");
  EXPECT_EQ(video.connectionName, "Video");
  EXPECT_EQ(video.bitrate, 798720u);
  EXPECT_EQ(video.quality, 0u);
  EXPECT_EQ(video.maxKeyFrameSpacing, 80'000'000);
  const VIDEOINFOHEADER header = HeaderOf(video);
  EXPECT_EQ(header.AvgTimePerFrame, 333'333);
  EXPECT_EQ(header.dwBitRate, 798720u);
  EXPECT_EQ(header.rcSource.right, 640);
  EXPECT_EQ(header.rcTarget.right, 640);
  EXPECT_EQ(header.bmiHeader.biWidth, 640);
  EXPECT_EQ(header.rcSource.bottom, 480);
  EXPECT_EQ(header.rcTarget.bottom, 480);
  EXPECT_EQ(header.bmiHeader.biHeight, 480);
  EXPECT_EQ(header.bmiHeader.biBitCount, 24) << "other fields keep the codec's values";
  EXPECT_TRUE(result.profile->mutexes.empty()) << "one video stream needs no exclusion";

  const auto at23 = Generate(Audio128k(), {Video(23)});
  ASSERT_EQ(at23.hr, S_OK);
  EXPECT_EQ(HeaderOf(at23.profile->streams[1]).AvgTimePerFrame, 434'782) << "integer division";
}

TEST(GenerateProfile, UnknownFourccFailsAndLeavesTheOutputUntouched) {
  wmf::ScopedCodecCatalogue catalogue(
      {AudioCodec({Wma(16000, 1)}), VideoCodec({wmf::VideoFormat(kWmv2, 1, 1, 1, 1)})});
  const AudioStreamParams audio = Audio128k();
  const VideoStreamParams video = Video();
  auto sentinel = wmf::MakeProfile({});
  ComPtr<IWMProfile> out = sentinel;
  EXPECT_EQ(GenerateProfile(&audio, nullptr, 1, &video, &out, WMT_VER_9_0),
            NS_E_VIDEO_CODEC_NOT_INSTALLED);
  EXPECT_EQ(out, sentinel);
}

TEST(GenerateProfile, SeveralVideoStreamsBecomeAlternativeBitratesBeforeTheScriptStream) {
  wmf::ScopedCodecCatalogue catalogue(
      {AudioCodec({Wma(16000, 1)}), VideoCodec({wmf::VideoFormat(kWmv3, 1, 1, 1, 1)})});
  const std::uint32_t scriptBitrate = 1000;
  const auto result = Generate(Audio128k(), {Video(), Video(), Video()}, &scriptBitrate);
  ASSERT_EQ(result.hr, S_OK);
  ASSERT_EQ(result.profile->mutexes.size(), 1u);
  EXPECT_EQ(result.profile->mutexes[0].type, CLSID_WMMutex_Bitrate);
  EXPECT_EQ(result.profile->mutexes[0].streams, (std::vector<std::uint16_t>{2, 3, 4}));

  ASSERT_EQ(result.profile->streams.size(), 5u);
  const wmf::StreamData& script = result.profile->streams[4];
  EXPECT_EQ(script.number, 5);
  EXPECT_EQ(script.name, "Script Stream");
  EXPECT_EQ(script.connectionName, "Script");
  EXPECT_EQ(script.bitrate, 1000u);
  EXPECT_EQ(script.mediaType->subtype, GUID_NULL);
  EXPECT_EQ(script.mediaType->formattype, WMFORMAT_Script);
  ASSERT_EQ(script.mediaType->format.size(), 16u);
  EXPECT_EQ(wmf::FormatAs<WMSCRIPTFORMAT>(script.mediaType->format)->scriptType,
            WMSCRIPTTYPE_TwoStrings);

  // Audio only with a script stream: the script stream is stream 2.
  const auto audioOnly = Generate(Audio128k(), {}, &scriptBitrate);
  ASSERT_EQ(audioOnly.hr, S_OK);
  ASSERT_EQ(audioOnly.profile->streams.size(), 2u);
  EXPECT_EQ(audioOnly.profile->streams[1].number, 2);
}

TEST(GenerateProfile, RefusesBadRequestsBeforeTouchingTheRuntime) {
  // An empty catalogue would fail with a codec code; E_INVALIDARG shows the
  // request was refused first.
  wmf::ScopedCodecCatalogue none({});
  const AudioStreamParams audio = Audio128k();
  std::vector<VideoStreamParams> videos(64, Video());
  ComPtr<IWMProfile> out;
  EXPECT_EQ(GenerateProfile(nullptr, nullptr, 0, nullptr, &out, WMT_VER_9_0), E_INVALIDARG);
  EXPECT_EQ(GenerateProfile(&audio, nullptr, 0, nullptr, nullptr, WMT_VER_9_0), E_INVALIDARG);
  EXPECT_EQ(GenerateProfile(&audio, nullptr, 1, nullptr, &out, WMT_VER_9_0), E_INVALIDARG);
  EXPECT_EQ(GenerateProfile(&audio, nullptr, 64, videos.data(), &out, WMT_VER_9_0), E_INVALIDARG);
  videos[62].frameRate = 0;
  EXPECT_EQ(GenerateProfile(&audio, nullptr, 63, videos.data(), &out, WMT_VER_9_0), E_INVALIDARG);
  videos[62].frameRate = kMaxProfileFrameRate + 1;  // a frame time of 0
  EXPECT_EQ(GenerateProfile(&audio, nullptr, 63, videos.data(), &out, WMT_VER_9_0), E_INVALIDARG);
  EXPECT_FALSE(out);
}

TEST(GenerateProfile, SixtyThreeVideoStreamsAndAScriptStreamFit) {
  wmf::ScopedCodecCatalogue catalogue(
      {AudioCodec({Wma(16000, 1)}), VideoCodec({wmf::VideoFormat(kWmv3, 1, 1, 1, 1)})});
  const std::uint32_t scriptBitrate = 1000;
  const auto result =
      Generate(Audio128k(), std::vector<VideoStreamParams>(63, Video()), &scriptBitrate);
  ASSERT_EQ(result.hr, S_OK);
  EXPECT_EQ(result.profile->streams.size(), 65u);
  EXPECT_EQ(result.profile->streams.back().number, 65);
  EXPECT_EQ(result.profile->mutexes[0].streams.size(), 63u);
}

TEST(GenerateProfile, TheDefaultCodecsServeTheConverterRequest) {
  const auto result = Generate(Audio128k(), {{kWmv3, 389120, 480, 640, 23, 0, 8}});
  ASSERT_EQ(result.hr, S_OK);
  EXPECT_EQ(result.profile->streams[0].bitrate, 128000u);
  EXPECT_EQ(HeaderOf(result.profile->streams[1]).AvgTimePerFrame, 434'782);
}

TEST(MapProfile, LoadsOnlyValidProfileText) {
  ComPtr<IWMProfile> profile;
  EXPECT_EQ(MapProfile("test2", nullptr), E_POINTER);
  EXPECT_EQ(MapProfile("test2", &profile), WM_E_INVALID_PROFILE_TEXT);
  EXPECT_FALSE(profile);

  const std::string valid = "<profile version=\"589824\" name=\"Mapped\" description=\"\"/>";
  ASSERT_EQ(MapProfile(valid, &profile), S_OK);
  std::string name;
  ASSERT_EQ(profile->GetName(name), S_OK);
  EXPECT_EQ(name, "Mapped");

  // Text that does not fit the conversion buffer is refused, never cut.
  const std::string padded =
      "<profile version=\"589824\" name=\"" + std::string(300, 'x') + "\" description=\"\"/>";
  profile.Reset();
  EXPECT_EQ(MapProfile(padded, &profile), E_INVALIDARG);
  EXPECT_FALSE(profile);
}

}  // namespace
