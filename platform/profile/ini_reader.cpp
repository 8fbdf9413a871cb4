#include "platform/profile/ini_reader.h"

#include "platform/text/ascii_case.h"
#include "platform/text/utf16.h"

namespace profile {

namespace {

using text::EqualsIgnoringCase;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Walks the lines of [pos, end): a line ends at CR LF, LF or a lone CR.
class LineCursor {
 public:
  LineCursor(std::string_view text, std::size_t pos, std::size_t end)
      : text_(text.substr(0, end)), pos_(pos) {}

  bool Next(std::string_view& line, std::size_t& lineStart) {
    if (pos_ >= text_.size()) return false;
    lineStart = pos_;
    std::size_t stop = pos_;
    while (stop < text_.size() && text_[stop] != '\n' && text_[stop] != '\r') ++stop;
    line = text_.substr(pos_, stop - pos_);
    pos_ = stop;
    if (pos_ < text_.size()) {
      const bool crlf = text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
      pos_ += crlf ? 2 : 1;
    }
    return true;
  }
  std::size_t Position() const { return pos_; }

 private:
  std::string_view text_;
  std::size_t pos_;
};

// The section name of a header line (first non-blank is '['), else nothing.
std::optional<std::string_view> HeaderName(std::string_view line) {
  std::string_view rest = Trim(line);
  if (rest.empty() || rest.front() != '[') return std::nullopt;
  rest.remove_prefix(1);
  const std::size_t close = rest.find(']');
  if (close != std::string_view::npos) rest = rest.substr(0, close);
  return Trim(rest);
}

// The value as the reader returns it: cut at a NUL, then one pair of equal
// outer quotes removed.
std::string_view CleanValue(std::string_view value) {
  const std::size_t nul = value.find('\0');
  if (nul != std::string_view::npos) value = value.substr(0, nul);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

std::string Truncated(std::string_view s, std::size_t size) {
  if (size == 0) return {};
  return std::string(s.substr(0, size - 1));
}

}  // namespace

IniFile IniFile::FromBytes(std::string_view bytes) {
  IniFile file;
  file.status_ = FileBytes::Status::Read;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE)
    file.text_ = text::Utf16LeToUtf8(bytes.substr(2));
  else file.text_ = std::string(bytes);
  return file;
}

IniFile IniFile::Load(const std::string& path) {
  FileBytes read = ReadFileBytes(path, kMaxIniFileBytes);
  IniFile file = FromBytes(read.bytes);
  file.status_ = read.status;
  return file;
}

std::optional<IniFile::Range> IniFile::SectionBody(std::string_view section) const {
  for (const auto& [name, body] : sections_)
    if (EqualsIgnoringCase(name, section)) return body;
  auto body = ScanForSection(section);
  sections_.emplace_back(std::string(section), body);
  return body;
}

std::optional<IniFile::Range> IniFile::ScanForSection(std::string_view section) const {
  LineCursor cursor(text_, 0, text_.size());
  std::string_view line;
  std::size_t lineStart = 0;
  std::optional<Range> body;
  while (cursor.Next(line, lineStart)) {
    const auto name = HeaderName(line);
    if (!name) continue;
    if (body) {
      body->end = lineStart;
      return body;
    }
    // Only the first section of a name is ever searched.
    if (EqualsIgnoringCase(*name, section)) body = Range{cursor.Position(), text_.size()};
  }
  return body;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
  const auto body = SectionBody(section);
  if (!body) return std::nullopt;
  LineCursor cursor(text_, body->begin, body->end);
  std::string_view line;
  std::size_t lineStart = 0;
  while (cursor.Next(line, lineStart)) {
    const std::string_view content = Trim(line);
    if (content.empty() || content.front() == ';') continue;
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) continue;
    if (EqualsIgnoringCase(Trim(content.substr(0, equals)), key))
      return std::string(CleanValue(Trim(content.substr(equals + 1))));
  }
  return std::nullopt;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, std::size_t size) const {
  if (auto value = Find(section, key)) return Truncated(*value, size);
  while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
  return Truncated(defaultValue, size);
}

std::string GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, std::size_t size,
                                     const std::string& path) {
  return IniFile::Load(path).GetString(section, key, defaultValue, size);
}

}  // namespace profile
