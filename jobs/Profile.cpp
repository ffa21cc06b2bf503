#include "jobs/Profile.h"

namespace jobs {

const std::vector<Profile>& BuiltInProfiles() {
  // 1490 nm is received at the ONT (downstream), 1310 nm at the OLT
  // (upstream), 1550 nm is the video overlay at the ONT.
  static const std::vector<Profile> kProfiles = {
      {"gpon-b+", "GPON B+", {{1310, {-28.0, -8.0}}, {1490, {-27.0, -8.0}}}, {13.0, 28.0}},
      {"gpon-c+", "GPON C+", {{1310, {-32.0, -12.0}}, {1490, {-30.0, -8.0}}}, {17.0, 32.0}},
      {"epon-px20", "EPON PX20", {{1310, {-27.0, -6.0}}, {1490, {-24.0, -3.0}}}, {std::nullopt, 24.0}},
      {"rf-video", "RF video overlay", {{1550, {-8.0, 2.0}}}, {}},
  };
  return kProfiles;
}

std::optional<Profile> FindProfile(const std::string& id, const std::vector<Profile>& userProfiles) {
  for (const Profile& p : BuiltInProfiles()) {
    if (p.id == id) return p;
  }
  for (const Profile& p : userProfiles) {
    if (p.id == id) return p;
  }
  return std::nullopt;
}

}  // namespace jobs
