// "sonalo-cli info" over the 10,000 files of the adding bench, as whole processes beside its
// floor (head_tail_read: open, first 4 KiB, last 128 bytes, close for each file), alternating,
// output to /dev/null. Prints the median wall and CPU (user + system) time of each and their
// ratio. Run: build-bench/bench/cli_info_bench [--keep] [--other-cli PATH] [ROUNDS] [-- INFO ARGUMENTS]
#include "TenThousandFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

struct Times
{
    double wallMs = 0, cpuMs = 0;
};

// Runs argv to its end with its output to /dev/null.
Times run(const std::vector<QByteArray> &args)
{
    std::vector<char *> argv;
    for (const QByteArray &a : args)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer wall;
    wall.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        qFatal("cannot start %s", argv[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage;
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("%s failed", argv[0]);
    Times t;
    t.wallMs = wall.nsecsElapsed() / 1e6;
    auto ms = [](const timeval &tv) { return tv.tv_sec * 1e3 + tv.tv_usec / 1e3; };
    t.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    return t;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int rounds = 7;
    std::vector<QByteArray> extra;
    QByteArray otherCli;
    for (int i = 1; i < argc; ++i) {
        if (QByteArrayView(argv[i]) == "--") {
            for (++i; i < argc; ++i)
                extra.emplace_back(argv[i]);
        } else if (QByteArrayView(argv[i]) == "--other-cli" && i + 1 < argc) {
            otherCli = argv[++i]; // another build of the command, in the same rotation
        } else if (QByteArrayView(argv[i]) == "--keep") {
            // The library stays for profiling the command alone.
            library().dir.setAutoRemove(false);
            std::printf("library kept in %s\n", qPrintable(library().dir.path()));
        } else {
            rounds = std::max(1, atoi(argv[i]));
        }
    }
    std::vector<QByteArray> floorArgs{QByteArray(SONALO_FLOOR_PATH)};
    std::vector<QByteArray> infoArgs{QByteArray(SONALO_CLI_PATH), QByteArray("info")};
    infoArgs.insert(infoArgs.end(), extra.begin(), extra.end());
    for (const QString &f : library().files) {
        floorArgs.push_back(QFile::encodeName(f));
        infoArgs.push_back(QFile::encodeName(f));
    }
    std::vector<QByteArray> otherArgs = infoArgs;
    otherArgs[0] = otherCli;
    run(floorArgs), run(infoArgs); // the page cache warm for both
    std::vector<double> floorWall, floorCpu, infoWall, infoCpu, otherWall, otherCpu;
    for (int r = 0; r < rounds; ++r) {
        const Times f = run(floorArgs);
        const Times i = run(infoArgs);
        floorWall.push_back(f.wallMs), floorCpu.push_back(f.cpuMs);
        infoWall.push_back(i.wallMs), infoCpu.push_back(i.cpuMs);
        if (!otherCli.isEmpty()) {
            const Times o = run(otherArgs);
            otherWall.push_back(o.wallMs), otherCpu.push_back(o.cpuMs);
        }
    }
    std::printf("%d files, median of %d alternating runs\n", int(library().files.size()), rounds);
    std::printf("%-22s %10s %10s\n", "", "wall ms", "CPU ms");
    std::printf("%-22s %10.1f %10.1f\n", "floor (head_tail_read)", median(floorWall), median(floorCpu));
    std::printf("%-22s %10.1f %10.1f\n", "sonalo-cli info", median(infoWall), median(infoCpu));
    std::printf("%-22s %9.2fx %9.2fx\n", "ratio", median(infoWall) / median(floorWall), median(infoCpu) / median(floorCpu));
    if (!otherCli.isEmpty()) {
        std::printf("%-22s %10.1f %10.1f\n", "--other-cli", median(otherWall), median(otherCpu));
        std::printf("%-22s %9.2fx %9.2fx\n", "ratio", median(otherWall) / median(floorWall), median(otherCpu) / median(floorCpu));
    }
    return 0;
}
