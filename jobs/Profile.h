#pragma once
// Threshold profiles: the receive limits of a PON class per wavelength, the
// loss budget of its optical distribution network, and the margin within
// which a value inside the limits is only MARGINAL. A job keeps its own copy
// of the profile it was made with, so a later edit of the profile leaves the
// job's verdicts as they were.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace jobs {

inline constexpr double kDefaultMarginDb = 2.0;

struct Range {
  std::optional<double> low;   // nullopt: no lower limit
  std::optional<double> high;  // nullopt: no upper limit
  bool operator==(const Range&) const = default;
};

struct Profile {
  std::string id;    // "gpon-b+", or the user's own
  std::string name;  // "GPON B+"
  std::map<int, Range> limits;  // dBm, by wavelength in nm
  Range lossBudget;             // dB
  double marginDb = kDefaultMarginDb;
  bool operator==(const Profile&) const = default;
};

// GPON B+, GPON C+, EPON PX20 and the RF video overlay, in that order.
const std::vector<Profile>& BuiltInProfiles();

// The built-in profile with this id, then the user's; nullopt when neither.
std::optional<Profile> FindProfile(const std::string& id, const std::vector<Profile>& userProfiles);

}  // namespace jobs
