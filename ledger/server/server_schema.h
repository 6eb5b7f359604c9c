// The ledger's tables on the server, shared by every station of a line. The
// record's columns are those of production.db, so one reader serves both.
#pragma once

namespace ledger::server {

// address_ranges: one row per range set up by `tarnwick-record range add`;
// next_lap is the counter, advanced in the transaction that marks the
// address pending. operations: production.db's rows of every station; a
// failed address is given again once (reissued marks that it was); origin
// names a row a station may deliver twice, so that it is stored once.
// station_counts: each station's count of addresses written, as its window shows it.
inline constexpr const char* kServerSchema = R"sql(
CREATE TABLE IF NOT EXISTS address_ranges (
  id serial PRIMARY KEY,
  nap integer NOT NULL CHECK (nap BETWEEN 0 AND 65535),
  uap integer NOT NULL CHECK (uap BETWEEN 0 AND 255),
  first_lap integer NOT NULL,
  last_lap integer NOT NULL,
  next_lap integer NOT NULL,
  CHECK (0 <= first_lap AND first_lap <= last_lap AND last_lap <= 16777215),
  CHECK (next_lap BETWEEN first_lap AND last_lap + 1)
);
CREATE TABLE IF NOT EXISTS operations (
  id bigserial PRIMARY KEY,
  time text NOT NULL,
  station text NOT NULL,
  transport text NOT NULL,
  slot integer NOT NULL,
  operation text NOT NULL,
  result text NOT NULL DEFAULT '',
  nap integer, uap integer, lap integer,
  state text CHECK (state IN ('pending', 'written', 'failed', 'unknown')),
  reissued boolean NOT NULL DEFAULT false,
  name text,
  firmware_path text,
  firmware_size bigint,
  firmware_sha256 text,
  duration_ms bigint NOT NULL DEFAULT 0,
  origin text UNIQUE
);
CREATE UNIQUE INDEX IF NOT EXISTS one_module_per_address
  ON operations (nap, uap, lap) WHERE state IN ('pending', 'written', 'unknown');
CREATE INDEX IF NOT EXISTS failed_to_give_again ON operations (id) WHERE state = 'failed' AND NOT reissued;
CREATE INDEX IF NOT EXISTS pending_by_station ON operations (station) WHERE state = 'pending';
CREATE TABLE IF NOT EXISTS station_counts (
  station text PRIMARY KEY,
  total bigint NOT NULL DEFAULT 0
);
)sql";

// Taken for the length of one draw: two stations never pick the same address.
inline constexpr const char* kDrawLock = "SELECT pg_advisory_xact_lock(7286044)";

}  // namespace ledger::server
