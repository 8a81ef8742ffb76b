#include "VirtualPrinterProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

extern char **environ;

namespace {

std::condition_variable outputGrew;

int connectLocal(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        close(fd);
        throw std::runtime_error("cannot reach the virtual printer's control port");
    }
    return fd;
}

} // namespace

VirtualPrinterProcess::VirtualPrinterProcess(const std::string &program, int busyMs)
{
    char name[] = "/tmp/lumora-vp-XXXXXX";
    dir_ = mkdtemp(name);
    outDir_ = dir_ + "/output";

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    const std::string busy = std::to_string(busyMs), state = dir_ + "/state";
    std::vector<std::string> args = {program, "--port", "0", "--control-port", "0",
                                     "--state-dir", state, "--out-dir", outDir_,
                                     "--busy-ms", busy};
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    stdout_ = pipeFds[0];
    if (rc != 0)
        throw std::runtime_error("cannot start " + program);

    reader_ = std::thread([this] {
        char buf[4096];
        ssize_t n;
        while ((n = read(stdout_, buf, sizeof buf)) > 0) {
            std::lock_guard lock(mutex_);
            output_.append(buf, static_cast<std::size_t>(n));
            outputGrew.notify_all();
        }
    });

    // The address comes first; the control port is announced among the next lines.
    url_ = readLine(10000);
    if (url_.rfind("rfc2217://", 0) != 0)
        throw std::runtime_error("virtual printer did not start: " + url_);
    for (;;) {
        const std::string line = readLine(10000);
        const std::string tag = "control: tcp://127.0.0.1:";
        if (line.empty())
            throw std::runtime_error("virtual printer announced no control port");
        if (line.rfind(tag, 0) == 0) {
            control_ = connectLocal(std::stoi(line.substr(tag.size())));
            break;
        }
    }
}

VirtualPrinterProcess::~VirtualPrinterProcess()
{
    if (control_ >= 0)
        close(control_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status;
        waitpid(pid_, &status, 0);
    }
    reader_.join();
    close(stdout_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string VirtualPrinterProcess::readLine(int timeoutMs)
{
    std::unique_lock lock(mutex_);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto newline = output_.find('\n', consumed_);
        if (newline != std::string::npos) {
            std::string line = output_.substr(consumed_, newline - consumed_);
            consumed_ = newline + 1;
            return line;
        }
        if (outputGrew.wait_until(lock, end) == std::cv_status::timeout)
            return {};
    }
}

std::string VirtualPrinterProcess::control(const std::string &command)
{
    const std::string line = command + "\n";
    if (send(control_, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size()))
        return {};
    std::string reply;
    char c;
    pollfd pfd{control_, POLLIN, 0};
    while (poll(&pfd, 1, 3000) > 0 && recv(control_, &c, 1, 0) == 1 && c != '\n')
        reply += c;
    return reply;
}

std::string VirtualPrinterProcess::output()
{
    std::lock_guard lock(mutex_);
    return output_;
}

bool VirtualPrinterProcess::waitForLog(const std::string &text, int timeoutMs)
{
    std::unique_lock lock(mutex_);
    return outputGrew.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return output_.find(text) != std::string::npos; });
}

std::string VirtualPrinterProcess::page(const std::string &name, int timeoutMs)
{
    const auto path = std::filesystem::path(outDir_) / name;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // Pages are saved whole (written aside, then renamed).
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < end)
        usleep(20000);
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool VirtualPrinterProcess::stop(int timeoutMs)
{
    kill(pid_, SIGTERM);
    int status;
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return true;
        }
        usleep(20000);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return false;
}

long VirtualPrinterProcess::peakMemoryKb() const
{
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}
