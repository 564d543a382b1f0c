// Runs one program and writes "<wall ns> <peak KiB> <status>" to a file.
//
//   bench_exec_measure <timeout seconds> <result file> <program> [arguments...]
//
// A process's peak memory (ru_maxrss) carries over the resident size of the
// process that forked it, so a child of the report itself would show the
// report's own peak. This small program, with no Qt, is the parent instead.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t timedOut = 0;
void onAlarm(int)
{
    timedOut = 1;
}

long long nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <timeout seconds> <result file> <program> [arguments...]\n",
                     argv[0]);
        return 2;
    }
    const unsigned timeout = unsigned(std::atoi(argv[1]));
    struct sigaction alarmAction {};
    alarmAction.sa_handler = onAlarm; // no SA_RESTART: wait4 returns EINTR
    sigaction(SIGALRM, &alarmAction, nullptr);

    const long long start = nowNs();
    const pid_t pid = fork();
    if (pid < 0)
        return 3;
    if (pid == 0) {
        execv(argv[3], argv + 3);
        std::perror(argv[3]);
        _exit(127);
    }
    alarm(timeout);
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(pid, &status, 0, &usage);
        if (done == pid)
            break;
        if (done < 0 && errno == EINTR && timedOut) {
            kill(pid, SIGKILL);
            timedOut = 0;
        } else if (done < 0 && errno != EINTR) {
            return 3;
        }
    }
    const long long wall = nowNs() - start;
    FILE *out = std::fopen(argv[2], "w");
    if (!out)
        return 3;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::fprintf(out, "%lld %ld %d\n", wall, usage.ru_maxrss, code);
    std::fclose(out);
    return 0;
}
