// marrowby-cli stats: the statistics of a window's rows (a DM file or a rows file) as TSV.

#include "depth/cli/cli.h"
#include "depth/cli/cli_io.h"

#include "common/translate.h"
#include "depth/stats/depth_stats.h"

namespace marrowby::cli {
namespace {

int stats(const tessera::cli::Arguments& args) {
    if (args.positional.size() != 1)
        return tessera::cli::usageError();
    if (const std::string* format = args.last("--format"); format && *format != "tsv") {
        std::string message = tessera::translate("MarrowbyCli", "不支持的输出格式“%1”（只有 tsv）");
        if (const size_t at = message.find("%1"); at != std::string::npos)
            message.replace(at, 2, *format);
        error(message);
        return tessera::cli::usageError();
    }
    DmHeader header;
    std::vector<DepthRow> rows;
    const int status = loadRows(args.positional[0], header, rows);
    if (status == kFailure)
        return kFailure;
    if (!tessera::cli::printOutput(formatDepthStatsTsv(computeDepthStats(rows))))
        return kFailure;
    return status;
}

const tessera::cli::Command statsCommand("stats",
                                         "stats IN [--format tsv]   （IN：DM 文件或行文件 .tsv）",
                                         {"--format"}, stats);

} // namespace
} // namespace marrowby::cli
