#include "cli/JobOptions.h"

#include "device/meters/Registry.h"
#include "field/Readout.h"

namespace cli {

namespace {

struct ActionShape {
  const char* name;
  size_t minOperands;
  size_t maxOperands;
  const char* operands;  // for messages
  bool makes = false;    // --site --operator --profile --points --points-file
  bool samples = false;  // --samples
};

constexpr ActionShape kActions[] = {
    {"new", 1, 1, "NAME", true, true},
    {"list", 0, 0, ""},
    {"rename", 2, 2, "OLD NEW"},
    {"points", 3, 4, "NAME add PATTERN, NAME remove LABEL or NAME rename OLD NEW"},
    {"reference", 3, 3, "NAME NM DBM"},
    {"capture", 2, 2, "NAME POINT", false, true},
    {"show", 1, 1, "NAME"},
    {"export", 2, 2, "NAME OUT"},
    {"report", 2, 2, "NAME OUT.pdf"},
    {"sync", 0, 0, ""},
    {"check", 0, 0, ""},
};

bool PositiveInt(const std::string& text, int max, int& out) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  out = std::stoi(text);
  return out >= 1 && out <= max;
}

bool CheckPoints(const JobArgs& a, std::string& error) {
  const std::string& edit = a.operands[1];
  const size_t want = edit == "rename" ? 4 : 3;
  if ((edit != "add" && edit != "remove" && edit != "rename") || a.operands.size() != want) {
    error = "job points needs NAME add PATTERN, NAME remove LABEL or NAME rename OLD NEW";
    return false;
  }
  return true;
}

bool CheckReference(JobArgs& a, std::string& error) {
  int nm = 0;
  const meter::Model& model = meters::StationModel();
  if (!PositiveInt(a.operands[1], 9999, nm) || !meter::HasWavelength(model, nm)) {
    error = "job reference needs a wavelength of the meter in nm:";
    for (int known : model.settings.wavelengthsNm) error += " " + std::to_string(known);
    return false;
  }
  if (a.operands[2] == "-") return true;
  a.referenceDbm = field::ParseDecibels(a.operands[2]);
  if (!a.referenceDbm) {
    error = "job reference needs a power in dBm from -200 to 200, e.g. -3.5, or - to clear it";
    return false;
  }
  return true;
}

}  // namespace

bool ParseJobArgs(const std::string& command, int i, int argc, char** argv, JobArgs& a, std::string& error) {
  const ActionShape* shape = nullptr;
  static const ActionShape kProfiles{"", 0, 0, ""};
  if (command == "profiles") {
    shape = &kProfiles;
  } else {
    if (i >= argc) {
      error = "job needs one of new, list, rename, points, reference, capture, show, export, report, sync, check";
      return false;
    }
    a.action = argv[i++];
    for (const ActionShape& s : kActions) {
      if (a.action == s.name) shape = &s;
    }
    if (!shape) {
      error = "unknown job command " + a.action;
      return false;
    }
  }
  const std::string what = command == "profiles" ? command : "job " + a.action;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      a.operands.push_back(arg);
      continue;
    }
    const bool makes = shape->makes &&
                       (arg == "--site" || arg == "--operator" || arg == "--profile" || arg == "--points" ||
                        arg == "--points-file");
    if (!makes && !(shape->samples && arg == "--samples")) {
      error = "option " + arg + " does not go with " + what;
      return false;
    }
    if (i + 1 >= argc) {
      error = "option " + arg + " needs a value";
      return false;
    }
    const std::string value = argv[++i];
    if (arg == "--site") a.site = value;
    if (arg == "--operator") a.operatorName = value;
    if (arg == "--profile") a.profile = value;
    if (arg == "--points") a.points = value;
    if (arg == "--points-file") a.pointsFile = value;
    if (arg == "--samples") {
      int n = 0;
      if (!PositiveInt(value, kMaxSamples, n)) {
        error = "--samples needs a whole number from 1 to " + std::to_string(kMaxSamples);
        return false;
      }
      a.samples = n;
    }
  }
  if (a.operands.size() < shape->minOperands || a.operands.size() > shape->maxOperands) {
    error = shape->maxOperands ? what + " needs " + shape->operands : what + " takes no arguments";
    return false;
  }
  if (a.action == "points") return CheckPoints(a, error);
  if (a.action == "reference") return CheckReference(a, error);
  return true;
}

}  // namespace cli
