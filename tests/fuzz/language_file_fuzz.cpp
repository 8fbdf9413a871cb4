// libFuzzer target for the language file reader and the escapes: any bytes
// as a language file, read as the loader reads it, must give bounded texts
// without a crash, a hang or undefined behaviour.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "i18n/escapes.h"
#include "i18n/key_table.h"
#include "platform/profile/ini_reader.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The escapes as first described: replace the leftmost pair, search again
// from the start, one letter after the other.
std::string ReferenceEscapes(std::string text) {
  const std::pair<char, char> passes[] = {{'t', '\t'}, {'n', '\n'}, {'r', '\r'}};
  for (auto [letter, replacement] : passes) {
    const std::string pair{'\\', letter};
    for (std::size_t at = text.find(pair); at != std::string::npos; at = text.find(pair))
      text.replace(at, 2, 1, replacement);
  }
  return text;
}

void CheckText(const std::string& raw, std::size_t size) {
  Check(size == 0 ? raw.empty() : raw.size() <= size - 1);
  Check(raw.find('\0') == std::string::npos);
  const std::string text = ReplaceEscapes(raw);
  Check(text.size() <= raw.size());
  if (raw.size() <= 4096) Check(text == ReferenceEscapes(raw));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const profile::IniFile file = profile::IniFile::FromBytes(bytes);

  // Every key the loader reads.
  for (const LanguageKey& key : LanguageKeys())
    CheckText(file.GetString(SectionName(SectionOfKey(key.key)), key.key, "", 2048), 2048);

  // Section, key and buffer size taken from the input's first bytes, so the
  // fuzzer can reach names that stand in the file.
  if (size >= 3) {
    const std::size_t sectionLength = data[0] % 16;
    const std::size_t keyLength = data[1] % 16;
    const std::size_t bufferSize = data[2];
    if (3 + sectionLength + keyLength <= size) {
      const std::string_view section = bytes.substr(3, sectionLength);
      const std::string_view key = bytes.substr(3 + sectionLength, keyLength);
      CheckText(file.GetString(section, key, "de fault  ", bufferSize), bufferSize);
      CheckText(file.GetString(key, section, "", bufferSize), bufferSize);
    }
  }

  // The escapes on the raw bytes as well (NULs and all).
  const std::string raw(bytes.substr(0, 4096));
  const std::string escaped = ReplaceEscapes(raw);
  Check(escaped == ReferenceEscapes(raw));
  return 0;
}
