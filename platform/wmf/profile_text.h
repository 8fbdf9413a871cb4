#pragma once
// Profiles as text: a <profile> element with <stream> elements, each with
// one <mediatype>, and <mutex> elements.
//
//   <profile version="589824" name="Custom Profile" description="">
//     <stream type="{...}" number="1" name="Audio Stream" connection="Audio"
//             bitrate="128000" bufferwindow="3000" quality="0" keyframespacing="0">
//       <mediatype major="{...}" subtype="{...}" fixedsize="1" temporal="0"
//                  samplesize="743" formattype="{...}" format="6101..."/>
//     </stream>
//     <mutex type="{...}" streams="2 3"/>
//   </profile>
//
// The format block is written as hexadecimal bytes.

#include <optional>
#include <string>
#include <string_view>

#include "platform/wmf/profile_data.h"

namespace wmf {

std::string ProfileToText(const ProfileData& profile);

// The values the text states; nothing when an element, attribute or value is
// missing or malformed. Whether the streams make a valid profile is checked
// by the profile as they are added.
std::optional<ProfileData> ProfileFromText(std::string_view text);

}  // namespace wmf
