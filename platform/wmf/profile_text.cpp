#include "platform/wmf/profile_text.h"

#include <charconv>
#include <limits>

#include "platform/wmf/markup.h"

namespace wmf {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

template <typename Number>
std::optional<Number> NumberFrom(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<std::vector<std::uint8_t>> BytesFrom(const std::string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::string HexOf(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    text += kHex[b >> 4];
    text += kHex[b & 0x0F];
  }
  return text;
}

// Reads the attributes of one element; the first missing or malformed value
// makes the whole reading fail.
class Fields {
 public:
  explicit Fields(const Element& element) : element_(element) {}

  std::string Text(std::string_view key) {
    const std::string* value = element_.Attribute(key);
    if (!value) ok_ = false;
    return value ? *value : std::string();
  }
  GUID Guid(std::string_view key) {
    auto value = GUID::TryParse(Text(key));
    if (!value) ok_ = false;
    return value.value_or(GUID_NULL);
  }
  template <typename Number>
  Number Integer(std::string_view key) {
    auto value = NumberFrom<Number>(Text(key));
    if (!value) ok_ = false;
    return value.value_or(Number{});
  }
  bool Flag(std::string_view key) {
    const std::string value = Text(key);
    if (value != "0" && value != "1") ok_ = false;
    return value == "1";
  }
  std::vector<std::uint8_t> Bytes(std::string_view key) {
    auto value = BytesFrom(Text(key));
    if (!value) ok_ = false;
    return value.value_or(std::vector<std::uint8_t>{});
  }
  std::vector<std::uint16_t> Numbers(std::string_view key) {
    std::vector<std::uint16_t> numbers;
    const std::string text = Text(key);
    std::string_view rest = text;
    while (!rest.empty()) {
      const std::size_t space = rest.find(' ');
      auto number = NumberFrom<std::uint16_t>(rest.substr(0, space));
      if (!number) ok_ = false;
      numbers.push_back(number.value_or(0));
      rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    }
    return numbers;
  }
  bool ok() const { return ok_; }

 private:
  const Element& element_;
  bool ok_ = true;
};

std::optional<MediaType> MediaTypeFrom(const Element& element) {
  if (element.name != "mediatype" || !element.children.empty()) return std::nullopt;
  Fields f(element);
  MediaType type;
  type.majortype = f.Guid("major");
  type.subtype = f.Guid("subtype");
  type.fixedSizeSamples = f.Flag("fixedsize");
  type.temporalCompression = f.Flag("temporal");
  type.sampleSize = f.Integer<std::uint32_t>("samplesize");
  type.formattype = f.Guid("formattype");
  type.format = f.Bytes("format");
  if (!f.ok()) return std::nullopt;
  return type;
}

std::optional<StreamData> StreamFrom(const Element& element) {
  if (element.children.size() != 1) return std::nullopt;
  Fields f(element);
  StreamData stream;
  stream.streamType = f.Guid("type");
  stream.number = f.Integer<std::uint16_t>("number");
  stream.name = f.Text("name");
  stream.connectionName = f.Text("connection");
  stream.bitrate = f.Integer<std::uint32_t>("bitrate");
  stream.bufferWindow = f.Integer<std::uint32_t>("bufferwindow");
  stream.quality = f.Integer<std::uint32_t>("quality");
  stream.maxKeyFrameSpacing = f.Integer<std::int64_t>("keyframespacing");
  stream.mediaType = MediaTypeFrom(element.children.front());
  if (!f.ok() || !stream.mediaType) return std::nullopt;
  return stream;
}

std::optional<MutexData> MutexFrom(const Element& element) {
  if (!element.children.empty()) return std::nullopt;
  Fields f(element);
  MutexData mutex;
  mutex.type = f.Guid("type");
  mutex.streams = f.Numbers("streams");
  if (!f.ok()) return std::nullopt;
  return mutex;
}

Element StreamElement(const StreamData& stream) {
  Element element{"stream", {}, {}};
  element.Set("type", stream.streamType.ToString())
      .Set("number", std::to_string(stream.number))
      .Set("name", stream.name)
      .Set("connection", stream.connectionName)
      .Set("bitrate", std::to_string(stream.bitrate))
      .Set("bufferwindow", std::to_string(stream.bufferWindow))
      .Set("quality", std::to_string(stream.quality))
      .Set("keyframespacing", std::to_string(stream.maxKeyFrameSpacing));
  if (const auto& type = stream.mediaType) {
    Element media{"mediatype", {}, {}};
    media.Set("major", type->majortype.ToString())
        .Set("subtype", type->subtype.ToString())
        .Set("fixedsize", type->fixedSizeSamples ? "1" : "0")
        .Set("temporal", type->temporalCompression ? "1" : "0")
        .Set("samplesize", std::to_string(type->sampleSize))
        .Set("formattype", type->formattype.ToString())
        .Set("format", HexOf(type->format));
    element.children.push_back(std::move(media));
  }
  return element;
}

}  // namespace

std::string ProfileToText(const ProfileData& profile) {
  Element root{"profile", {}, {}};
  root.Set("version", std::to_string(static_cast<std::uint32_t>(profile.version)))
      .Set("name", profile.name)
      .Set("description", profile.description);
  for (const StreamData& stream : profile.streams) root.children.push_back(StreamElement(stream));
  for (const MutexData& mutex : profile.mutexes) {
    std::string numbers;
    for (std::uint16_t number : mutex.streams)
      numbers += (numbers.empty() ? "" : " ") + std::to_string(number);
    Element element{"mutex", {}, {}};
    element.Set("type", mutex.type.ToString()).Set("streams", numbers);
    root.children.push_back(std::move(element));
  }
  return WriteMarkup(root);
}

std::optional<ProfileData> ProfileFromText(std::string_view text) {
  const auto root = ParseMarkup(text);
  if (!root || root->name != "profile") return std::nullopt;
  Fields f(*root);
  ProfileData profile;
  const auto version = f.Integer<std::uint32_t>("version");
  profile.name = f.Text("name");
  profile.description = f.Text("description");
  if (!f.ok() || !IsKnownVersion(version)) return std::nullopt;
  profile.version = static_cast<WMT_VERSION>(version);
  for (const Element& child : root->children) {
    if (child.name == "stream") {
      auto stream = StreamFrom(child);
      if (!stream) return std::nullopt;
      profile.streams.push_back(std::move(*stream));
    } else if (child.name == "mutex") {
      auto mutex = MutexFrom(child);
      if (!mutex) return std::nullopt;
      profile.mutexes.push_back(std::move(*mutex));
    } else {
      return std::nullopt;
    }
  }
  return profile;
}

}  // namespace wmf
