// A modem on a pseudo-terminal, for tests and for trying the pager call by hand.
//
//   modem_emulator --link PATH --transcript FILE [--reply COMMAND=ANSWER]... [--default ANSWER]
//                  [--split-delay MS]
//
// The terminal's device is linked at PATH (for example $WINEPREFIX/dosdevices/com1). FILE starts
// empty; every line received is appended to it as it arrives. ANSWER is OK, BUSY, ERROR, NO
// CARRIER, NO DIALTONE, CONNECT, silence or split; COMMAND may end in '*' to match every command
// starting with the rest. "ready <device>" on standard output says the link exists. SIGTERM or
// SIGINT end the program and remove the link.

#include "HayesModem.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onStopSignal(int) {
    g_stop = 1;
}

struct Options {
    std::string link;
    std::string transcript;
    int splitDelayMs = 300;
};

[[noreturn]] void usage(const char* message) {
    std::fprintf(stderr,
                 "modem_emulator: %s\nusage: modem_emulator --link PATH --transcript FILE "
                 "[--reply COMMAND=ANSWER]... [--default ANSWER] [--split-delay MS]\n",
                 message);
    std::exit(2);
}

HayesModem::Answer answerOf(const std::string& text) {
    HayesModem::Answer answer;
    if (!HayesModem::parseAnswer(text, &answer))
        usage(("unknown answer: " + text).c_str());
    return answer;
}

Options parseArguments(int argc, char** argv, HayesModem& modem) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            usage(("missing value after " + name).c_str());
        const std::string value = argv[++i];
        if (name == "--link") {
            options.link = value;
        } else if (name == "--transcript") {
            options.transcript = value;
        } else if (name == "--reply") {
            const std::size_t equals = value.rfind('=');
            if (equals == std::string::npos || equals == 0)
                usage("--reply needs COMMAND=ANSWER");
            modem.script(value.substr(0, equals), answerOf(value.substr(equals + 1)));
        } else if (name == "--default") {
            modem.setDefaultAnswer(answerOf(value));
        } else if (name == "--split-delay") {
            options.splitDelayMs = std::atoi(value.c_str());
        } else {
            usage(("unknown option " + name).c_str());
        }
    }
    if (options.link.empty() || options.transcript.empty())
        usage("--link and --transcript are required");
    return options;
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "modem_emulator: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

void writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

// Owns the terminal pair and the link; the slave stays open so the master never sees a hang-up
// when the program under test closes its side.
class Terminal {
public:
    explicit Terminal(const std::string& link) : link_(link) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            fail("pseudo-terminal");
        device_ = ::ptsname(master_);
        slave_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY);
        if (slave_ < 0)
            fail(device_.c_str());
        termios raw{};
        if (::tcgetattr(slave_, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::cfsetspeed(&raw, B19200);
            ::tcsetattr(slave_, TCSANOW, &raw);
        }
        struct stat existing {};
        if (::lstat(link_.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode))
            ::unlink(link_.c_str());
        if (::symlink(device_.c_str(), link_.c_str()) != 0)
            fail(link_.c_str());
    }

    ~Terminal() {
        char target[4096];
        const ssize_t n = ::readlink(link_.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == device_)
            ::unlink(link_.c_str());
        ::close(slave_);
        ::close(master_);
    }

    int master() const { return master_; }
    const std::string& device() const { return device_; }

private:
    std::string link_;
    std::string device_;
    int master_ = -1;
    int slave_ = -1;
};

using Clock = std::chrono::steady_clock;

} // namespace

int main(int argc, char** argv) {
    HayesModem modem;
    const Options options = parseArguments(argc, argv, modem);

    struct sigaction action {};
    action.sa_handler = onStopSignal;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);

    std::FILE* transcript = std::fopen(options.transcript.c_str(), "w");
    if (!transcript)
        fail(options.transcript.c_str());

    Terminal terminal(options.link);
    std::printf("ready %s\n", terminal.device().c_str());
    std::fflush(stdout);

    std::string line;
    std::string pendingPiece;
    Clock::time_point pendingAt;
    while (!g_stop) {
        pollfd watch{terminal.master(), POLLIN, 0};
        if (::poll(&watch, 1, 20) > 0 && (watch.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = ::read(terminal.master(), buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) {
                const char c = buffer[i];
                if (c == '\n')
                    continue;
                if (c != '\r') {
                    line += c;
                    continue;
                }
                std::fprintf(transcript, "%s\n", line.c_str());
                std::fflush(transcript);
                const HayesModem::Reply reply = modem.handleLine(line);
                line.clear();
                writeAll(terminal.master(), reply.echo);
                if (!reply.pieces.empty())
                    writeAll(terminal.master(), reply.pieces.front());
                if (reply.pieces.size() > 1) {
                    pendingPiece = reply.pieces.back();
                    pendingAt = Clock::now() + std::chrono::milliseconds(options.splitDelayMs);
                }
            }
        }
        if (!pendingPiece.empty() && Clock::now() >= pendingAt) {
            writeAll(terminal.master(), pendingPiece);
            pendingPiece.clear();
        }
    }
    std::fclose(transcript);
    return 0;
}
