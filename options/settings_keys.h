#pragma once
// Sections and keys of the settings, spelled as they are stored.

inline constexpr const char* kSectionOption = "Option";
inline constexpr const char* kSectionSettings = "Settings";
inline constexpr const char* kSectionVideoCompressor = "DexVideoCompress";
inline constexpr const char* kSectionAudioCompressor = "DexAudioCompress";

inline constexpr const char* kKeyCurrentLanguage = "CurrentLanguage";
inline constexpr const char* kKeyLastSourceFolder = "LastPhotoFolder";
inline constexpr const char* kKeyOutputFormat = "nOuptputFormat";
inline constexpr const char* kKeyOutputName = "OutputName";
inline constexpr const char* kKeyOutputWidth = "OutputWidth";
inline constexpr const char* kKeyOutputHeight = "OutputHigh";
inline constexpr const char* kKeyVideoBitrate = "n_video_bitrate";
inline constexpr const char* kKeyAudioBitrate = "n_audio_bitrate";
inline constexpr const char* kKeyFileProfile = "b_file_profile";
inline constexpr const char* kKeyFrameRateIndex = "OutputFrameRateIndex";
inline constexpr const char* kKeyFrameRate = "OutputFrameRate";
inline constexpr const char* kKeyCompressorNumber = "CompressorNumber";

inline constexpr int kDefaultOutputFormat = 1;
inline constexpr int kDefaultVideoBitrate = 798720;  // 780 * 1024
inline constexpr int kDefaultAudioBitrate = 128000;
inline constexpr int kCompressorNeverChosen = -2;
inline constexpr int kNoCompressor = -1;
