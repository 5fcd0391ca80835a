// marrowby-cli download receiving from the simulated meter: for each sending rate, whether
// every row arrived and the rate the pseudo-terminal link sustained.
//
// The simulated meter writes to a pseudo-terminal, which holds back the writer when the reader
// falls behind; so the time the meter took to send is the time the reader needed, and the rate
// it reports is the rate the download sustained without losing a byte. A target is met when
// the sustained rate reaches it and the DM file holds every row.

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
    double seconds = 0;
    long long bytes = 0;
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
    std::printf("%12s %14s %10s %s\n", "target B/s", "sustained B/s", "seconds", "all rows");
    int failures = 0;
    for (long long rate : {250'000LL, 500'000LL, 1'000'000LL, 2'000'000LL, 4'000'000LL, 0LL}) {
        const Result r = runOnce(rate);
        const double sustained = r.seconds > 0 ? static_cast<double>(r.bytes) / r.seconds : 0;
        std::printf("%12s %14.0f %10.3f %s\n", rate ? std::to_string(rate).c_str() : "unlimited",
                    sustained, r.seconds, r.complete ? "yes" : "NO");
        std::fflush(stdout);
        failures += !r.complete;
    }
    return failures ? 1 : 0;
}
