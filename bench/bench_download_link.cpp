// marrowby-cli download receiving from the simulated meter: for each sending rate, whether
// every row arrived, the rate the link sustained and the rate of the whole download.
//
// The simulated meter writes to a pseudo-terminal, which holds back the writer when the
// engine's worker falls behind reading; so the meter's sending time is the time the worker
// needed ("link"). Bytes the worker has read wait in the event queue until the parser takes
// them; "end to end" is the rate from the first byte handled to the DM file written, as
// marrowby-cli reports it. A rate is sustained when both keep up with it and the DM file holds
// every row.

#include "bench_download_util.h"

#include "depth/document/dm_file.h"

#include <cstdio>
#include <string>

using namespace bench_download;

namespace {

constexpr int kGroups = 200;
constexpr int kRecords = 999; // 199,800 rows, 1,798,601 bytes

struct Result {
    bool complete = false;
    double seconds = 0; // the meter's sending time
    long long bytes = 0;
    double endToEnd = 0; // marrowby-cli: first byte to DM written
};

Result runOnce(long long rate) {
    Result result;
    const std::string dir = makeTempDir();
    if (dir.empty())
        return result;
    const std::string bin = binDir();
    const std::string link = dir + "/meter", map = dir + "/ports.map", out = dir + "/out.DM";
    writePortMap(map, link);
    pid_t meter = spawn({bin + "/marrowby-cli", "simulate-meter", "--link", link, "--groups",
                         std::to_string(kGroups), "--records", std::to_string(kRecords), "--rate",
                         std::to_string(rate), "--delay", "100", "--timeout", "60"},
                        dir + "/meter.log");
    if (meter > 0 && waitForPath(link)) {
        setenv("MARROWBY_PORT_MAP", map.c_str(), 1);
        pid_t cli = spawn({bin + "/marrowby-cli", "download", "--out", out, "--timeout", "120"},
                          dir + "/cli.log");
        const int cliStatus = cli > 0 ? waitFor(cli) : -1;
        waitFor(meter);
        long long total = 0;
        meterSent(readFile(dir + "/meter.log"), result.bytes, total, result.seconds);
        marrowby::DmHeader header;
        std::vector<marrowby::DepthRow> rows;
        const bool read =
            marrowby::decodeDm(readFile(out), header, rows) == marrowby::DmReadStatus::Complete;
        const std::string log = readFile(dir + "/cli.log");
        size_t at = log.rfind(" bytes in ");
        long long handled = 0;
        double e2e = 0;
        if (at != std::string::npos) {
            size_t open = log.rfind('(', at);
            if (open != std::string::npos &&
                std::sscanf(log.c_str() + open, "(%lld bytes in %lf s)", &handled, &e2e) == 2)
                result.endToEnd = e2e;
        }
        result.complete =
            cliStatus == 0 && read && rows.size() == static_cast<size_t>(kGroups) * kRecords &&
            result.bytes == total && log.find("数据接收个数有误") == std::string::npos;
        if (!result.complete)
            std::fprintf(stderr, "rate %lld: cli status %d, %zu rows\n%s", rate, cliStatus,
                         rows.size(), log.c_str());
    } else if (meter > 0) {
        kill(meter, SIGTERM);
        waitFor(meter);
    }
    removeTree(dir);
    return result;
}

} // namespace

int main() {
    std::printf("marrowby-cli download from simulate-meter, %d groups x %d records\n", kGroups,
                kRecords);
    std::printf("%12s %12s %14s %s\n", "target B/s", "link B/s", "end-to-end B/s", "all rows");
    int failures = 0;
    for (long long rate : {250'000LL, 500'000LL, 1'000'000LL, 2'000'000LL, 4'000'000LL, 0LL}) {
        const Result r = runOnce(rate);
        const double link = r.seconds > 0 ? static_cast<double>(r.bytes) / r.seconds : 0;
        const double e2e = r.endToEnd > 0 ? static_cast<double>(r.bytes) / r.endToEnd : 0;
        std::printf("%12s %12.0f %14.0f %s\n", rate ? std::to_string(rate).c_str() : "unlimited",
                    link, e2e, r.complete ? "yes" : "NO");
        std::fflush(stdout);
        failures += !r.complete;
    }
    return failures ? 1 : 0;
}
