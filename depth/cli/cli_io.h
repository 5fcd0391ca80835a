#pragma once
// Input and output helpers shared by the marrowby-cli commands.

#include "depth/document/dm_file.h"

#include <string>
#include <vector>

namespace marrowby::cli {

// Reads rows from a DM file, or from a UTF-8 rows file when `path` ends in ".tsv" (header
// fields then keep their initial values). Returns kOk, kEndOfFile (a DM file ended early: the
// rows read are kept and the end-of-file message is printed on stderr) or kFailure (message
// printed).
int loadRows(const std::string& path, DmHeader& header, std::vector<DepthRow>& rows);

// Writes `data` atomically to `path`; prints a message and returns false on failure.
bool writeOutput(const std::string& path, const std::string& data);

} // namespace marrowby::cli
