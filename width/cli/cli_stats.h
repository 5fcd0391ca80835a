#pragma once
// What fallowmere-cli's stats, export and report --summary share: the statistics options from
// the command line and the records a command works on.

#include "common/cli.h"
#include "width/list/record_rows.h"
#include "width/stats/width_stats.h"

#include <optional>
#include <vector>

namespace fallowmere::cli {

// --limit MM (repeatable; default 0.20 and 0.30) and --bin MM (default 0.05). On a wrong value
// a message on stderr and nullopt.
std::optional<WidthStatsOptions> statsOptions(const tessera::cli::Arguments& args);

// The rows named by --record, in the list's order (every row when none is named). On a name
// that no row has a message on stderr and nullopt.
std::optional<std::vector<size_t>> namedRows(const RecordRows& rows,
                                             const tessera::cli::Arguments& args);

} // namespace fallowmere::cli
