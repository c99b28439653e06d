#include "lv2/SofaReaderProcess.h"

#include "hrtf/SofaSetMessage.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
extern "C" { // glibc 2.36's header declares these without C linkage
#include <sys/pidfd.h>
}

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace vorpane::lv2 {

namespace {

// waitid's selector for a process descriptor (Linux 5.4), which glibc 2.36 does not name.
constexpr auto kByProcessDescriptor = static_cast<idtype_t>(3);
// A refusal's text is one line: the path, at most 4096 bytes, and the reason.
constexpr uint32_t kLongestRefusal = 64 * 1024;
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kLimitAddressSpace = false; // sanitizers reserve terabytes of it
#else
constexpr bool kLimitAddressSpace = true;
#endif
constexpr rlim_t kLargestAddressSpace = rlim_t{4} << 30;

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd; }
    void close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }

  private:
    int fd;
};

// A reader started and not yet waited for: killed and waited for if nothing else did so.
class Child {
  public:
    explicit Child(int pidfd) : pidfd(pidfd) {}
    ~Child() {
        if (!waited) {
            kill();
            wait();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    int descriptor() const { return pidfd.get(); }
    void kill() { pidfd_send_signal(pidfd.get(), SIGKILL, nullptr, 0); }
    // How it ended; si_code 0 where the host reaps its children itself and took this one.
    siginfo_t wait() {
        siginfo_t info{};
        while (waitid(kByProcessDescriptor, static_cast<id_t>(pidfd.get()), &info, WEXITED) != 0 &&
               errno == EINTR) {
        }
        waited = true;
        return info;
    }

  private:
    Descriptor pidfd;
    bool waited = false;
};

std::string errorText(int error) {
    return std::strerror(error);
}

// Starts `program path` with `output` as its standard output, nothing as its input and the
// host's standard error, without the host's other descriptors, blocked signals or ignored ones.
int spawn(const std::string& program, const std::string& path, int output, pid_t& pid) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (const int error = posix_spawn_file_actions_init(&actions)) return error;
    int error = posix_spawnattr_init(&attributes);
    if (error) {
        posix_spawn_file_actions_destroy(&actions);
        return error;
    }
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    // The output first: it may itself be descriptor 0 where the host closed its input.
    error = posix_spawn_file_actions_adddup2(&actions, output, 1);
    if (!error) error = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (!error) error = posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!error)
        error =
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (!error) error = posix_spawnattr_setsigmask(&attributes, &none);
    if (!error) error = posix_spawnattr_setsigdefault(&attributes, &all);
    char* arguments[] = {const_cast<char*>(SofaReaderProcess::kProgramName),
                         const_cast<char*>(path.c_str()), nullptr};
    if (!error)
        error = posix_spawn(&pid, program.c_str(), &actions, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

void limit(pid_t pid, __rlimit_resource resource, rlim_t soft, rlim_t hard) {
    const rlimit value{soft, hard};
    prlimit(pid, resource, &value, nullptr);
}

// The reader's answer as it arrives: a header, then the body it announces, and nothing after.
class Answer {
  public:
    explicit Answer(uint64_t largestSet)
        : largestSet(largestSet), bytes(sofamessage::kHeaderBytes) {}

    // Reads what the pipe holds. False once the answer cannot be one (fault() says why).
    bool readFrom(int fd, bool& ended) {
        for (;;) {
            unsigned char extra;
            const bool full = header && got == bytes.size();
            const ssize_t n =
                full ? ::read(fd, &extra, 1) : ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n == 0) {
                ended = true;
                return true;
            }
            if (n < 0) {
                if (errno == EINTR) continue;
                if (errno == EAGAIN) return true;
                problem = "the SOFA reader's answer cannot be read: " + errorText(errno);
                return false;
            }
            if (full) {
                problem = "the SOFA reader's answer is longer than it says";
                return false;
            }
            got += static_cast<size_t>(n);
            if (!header && got == bytes.size() && !takeHeader()) return false;
        }
    }
    bool complete() const { return header && got == bytes.size(); }
    const std::string& fault() const { return problem; }
    SofaSet set(const std::string& path) const {
        return sofamessage::decode(*header, path, bytes.data() + sofamessage::kHeaderBytes);
    }

  private:
    bool takeHeader() {
        header = sofamessage::decodeHeader(bytes.data());
        if (!header) {
            problem = "the SOFA reader's answer is not one";
            return false;
        }
        const uint64_t body = header->bodyBytes();
        if (header->refusal ? header->textBytes > kLongestRefusal : body > largestSet) {
            problem = header->refusal ? "the SOFA reader's answer is not one"
                                      : "it holds " + std::to_string(header->measurements) +
                                            " measurements of " + std::to_string(header->taps) +
                                            " taps, more than the plug-in reads (" +
                                            std::to_string(largestSet >> 20) + " MiB)";
            return false;
        }
        bytes.resize(sofamessage::kHeaderBytes + body);
        return true;
    }

    uint64_t largestSet;
    std::vector<unsigned char> bytes;
    size_t got = 0;
    std::optional<sofamessage::Header> header;
    std::string problem;
};

} // namespace

SofaSet SofaReaderProcess::read(const std::string& path) const {
    const auto refuse = [&](const std::string& why) {
        return std::runtime_error(path + ": " + why);
    };
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        throw refuse("the SOFA reader cannot be started: " + errorText(errno));
    Descriptor fromReader(ends[0]), toParent(ends[1]);
    fcntl(fromReader.get(), F_SETFL, O_NONBLOCK);
    pid_t pid = 0;
    if (const int error = spawn(program, path, toParent.get(), pid))
        throw refuse("the SOFA reader " + program + " cannot be started: " + errorText(error));
    toParent.close();
    const int pidfd = pidfd_open(pid, 0);
    if (pidfd < 0) {
        const int error = errno;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        throw refuse("the SOFA reader cannot be watched: " + errorText(error));
    }
    Child child(pidfd);
    limit(pid, RLIMIT_CPU, limits.processorSeconds, limits.processorSeconds + 1);
    limit(pid, RLIMIT_CORE, 0, 0);
    if (kLimitAddressSpace) limit(pid, RLIMIT_AS, kLargestAddressSpace, kLargestAddressSpace);

    Answer answer(limits.largestSet);
    bool ended = false, exited = false, timedOut = false, usable = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits.seconds);
    while (usable && !(ended && exited)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd watched[2];
        nfds_t count = 0;
        if (!ended) watched[count++] = {fromReader.get(), POLLIN, 0};
        if (!exited) watched[count++] = {child.descriptor(), POLLIN, 0};
        const auto timeout = static_cast<int>(std::min<int64_t>(left.count(), INT32_MAX));
        if (poll(watched, count, timeout) < 0) {
            if (errno == EINTR) continue;
            throw refuse("the SOFA reader cannot be watched: " + errorText(errno));
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (!watched[i].revents) continue;
            if (watched[i].fd == fromReader.get())
                usable = answer.readFrom(fromReader.get(), ended);
            else
                exited = true;
        }
    }
    if (timedOut || !usable) child.kill();
    const siginfo_t end = child.wait();
    if (timedOut)
        throw refuse("reading it did not finish within " + std::to_string(limits.seconds) +
                     " s: the file is probably damaged");
    if (!usable) throw refuse(answer.fault());
    if (end.si_code == CLD_KILLED || end.si_code == CLD_DUMPED) {
        if (end.si_status == SIGXCPU || end.si_status == SIGKILL)
            throw refuse("reading it did not finish within " +
                         std::to_string(limits.processorSeconds) +
                         " s of processor time: the file is probably damaged");
        const char* name = sigabbrev_np(end.si_status);
        throw refuse(std::string("reading it crashed the SOFA reader (SIG") +
                     (name ? name : std::to_string(end.si_status).c_str()) +
                     "): the file is probably damaged");
    }
    if (end.si_code == CLD_EXITED && end.si_status != 0)
        throw refuse("the SOFA reader failed (exit status " + std::to_string(end.si_status) + ")");
    if (!answer.complete()) throw refuse("the SOFA reader ended without an answer");
    return answer.set(path);
}

} // namespace vorpane::lv2
