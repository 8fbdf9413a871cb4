// libFuzzer target for the Windows Media profile text reader: any bytes as a
// stored profile, loaded as the profile manager loads one, must give a
// profile or a refusal without a crash, a hang or undefined behaviour. What
// is read is written back and read again unchanged, and goes through the
// profile objects with their rules, as a loaded profile does.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/wmf/profile_objects.h"
#include "platform/wmf/profile_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto profile = wmf::ProfileFromText(text);
  if (!profile) return 0;

  const std::string written = wmf::ProfileToText(*profile);
  const auto again = wmf::ProfileFromText(written);
  Check(again.has_value());
  Check(*again == *profile);

  // Through the objects, as the profile manager loads a profile: streams and
  // exclusions the profile's rules refuse are left out here.
  auto loaded = wmf::MakeProfile(
      wmf::ProfileData{profile->version, profile->name, profile->description, {}, {}});
  for (const wmf::StreamData& stream : profile->streams)
    loaded->AddStream(wmf::MakeStreamConfig(stream).Get());
  for (const wmf::MutexData& mutex : profile->mutexes)
    loaded->AddMutualExclusion(wmf::MakeMutualExclusion(mutex).Get());
  const auto read = wmf::ReadProfile(*loaded);
  Check(read.has_value());
  const auto reread = wmf::ProfileFromText(wmf::ProfileToText(*read));
  Check(reread.has_value() && *reread == *read);
  return 0;
}
