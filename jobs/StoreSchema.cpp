#include "jobs/StoreSchema.h"

namespace jobs::schema {

const std::vector<std::string_view>& Migrations() {
  static const std::vector<std::string_view> kSteps = {
      // 1: jobs with their copied profile limits, references, points and results.
      R"sql(
CREATE TABLE jobs (
  id INTEGER PRIMARY KEY,
  uuid TEXT NOT NULL UNIQUE,
  name TEXT NOT NULL UNIQUE,
  site TEXT NOT NULL DEFAULT '',
  operator TEXT NOT NULL DEFAULT '',
  notes TEXT NOT NULL DEFAULT '',
  profile_id TEXT NOT NULL,
  profile_name TEXT NOT NULL,
  margin_db REAL NOT NULL,
  loss_min_db REAL,
  loss_max_db REAL,
  created_at TEXT NOT NULL
);
CREATE TABLE job_limits (
  job_id INTEGER NOT NULL REFERENCES jobs(id),
  wavelength_nm INTEGER NOT NULL,
  low_dbm REAL,
  high_dbm REAL,
  PRIMARY KEY (job_id, wavelength_nm)
);
CREATE TABLE job_references (
  job_id INTEGER NOT NULL REFERENCES jobs(id),
  wavelength_nm INTEGER NOT NULL,
  reference_dbm REAL NOT NULL,
  PRIMARY KEY (job_id, wavelength_nm)
);
CREATE TABLE points (
  id INTEGER PRIMARY KEY,
  job_id INTEGER NOT NULL REFERENCES jobs(id),
  position INTEGER NOT NULL,
  label TEXT NOT NULL,
  removed_at TEXT
);
CREATE UNIQUE INDEX points_label ON points (job_id, label) WHERE removed_at IS NULL;
CREATE TABLE results (
  id INTEGER PRIMARY KEY,
  uuid TEXT NOT NULL UNIQUE,
  point_id INTEGER NOT NULL REFERENCES points(id),
  wavelength_nm INTEGER NOT NULL,
  power_dbm REAL NOT NULL,
  power_mw REAL NOT NULL,
  loss_db REAL,
  verdict TEXT NOT NULL,
  samples INTEGER NOT NULL,
  span_db REAL NOT NULL,
  unstable INTEGER NOT NULL,
  operator TEXT NOT NULL,
  measured_at TEXT NOT NULL,
  superseded INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX results_latest ON results (point_id, wavelength_nm, superseded);
)sql",
      // 2: the readings averaged per capture become a job setting; the
      // user's own threshold profiles.
      R"sql(
ALTER TABLE jobs ADD COLUMN samples INTEGER NOT NULL DEFAULT 3;
CREATE TABLE user_profiles (
  id TEXT PRIMARY KEY,
  name TEXT NOT NULL,
  margin_db REAL NOT NULL DEFAULT 2,
  loss_min_db REAL,
  loss_max_db REAL
);
CREATE TABLE user_profile_limits (
  profile_id TEXT NOT NULL REFERENCES user_profiles(id),
  wavelength_nm INTEGER NOT NULL,
  low_dbm REAL,
  high_dbm REAL,
  PRIMARY KEY (profile_id, wavelength_nm)
);
)sql",
  };
  return kSteps;
}

}  // namespace jobs::schema
