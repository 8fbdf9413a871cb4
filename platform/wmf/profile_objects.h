#pragma once
// The runtime's objects around their values: stream configurations (with
// media properties, and video properties for video streams), mutual
// exclusions and profiles.

#include "platform/wmf/profile_data.h"
#include "platform/wmf/wm_interfaces.h"

namespace wmf {

ComPtr<IWMStreamConfig> MakeStreamConfig(StreamData data);
ComPtr<IWMMutualExclusion> MakeMutualExclusion(MutexData data);
ComPtr<IWMProfile> MakeProfile(ProfileData data);

// The values of any implementation of the interfaces, read through them.
// Nothing when a getter fails.
std::optional<StreamData> ReadStream(IWMStreamConfig& config);
std::optional<MutexData> ReadMutualExclusion(IWMMutualExclusion& exclusion);
std::optional<ProfileData> ReadProfile(IWMProfile& profile);

// A stream's media type, read with the size-then-data protocol. Fails with
// the runtime's code, E_OUTOFMEMORY, or E_FAIL when the runtime's answer is
// inconsistent (a size too small for the structure it claims to hold).
HRESULT ReadMediaType(IWMMediaProps& props, MediaType& type);

}  // namespace wmf
