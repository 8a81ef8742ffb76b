#pragma once

#include <sys/types.h>

#include <mutex>
#include <string>
#include <thread>

// The project's virtual-printer program, run in a temporary folder for one
// test or benchmark: RFC 2217 on a free port, control commands over TCP.
class VirtualPrinterProcess {
public:
    explicit VirtualPrinterProcess(const std::string &program, int busyMs = 0);
    ~VirtualPrinterProcess();
    VirtualPrinterProcess(const VirtualPrinterProcess &) = delete;
    VirtualPrinterProcess &operator=(const VirtualPrinterProcess &) = delete;

    const std::string &url() const { return url_; }
    pid_t pid() const { return pid_; }
    // Sends SIGTERM; true when the program ended within timeoutMs (else it is killed).
    bool stop(int timeoutMs);
    // Peak resident memory of the program so far, in kB.
    long peakMemoryKb() const;
    const std::string &outDir() const { return outDir_; }
    // Sends one control command ("power off", "state", ...); returns its reply line.
    std::string control(const std::string &command);
    // Everything the printer wrote on its standard output (its log) so far.
    std::string output();
    // Waits until the log holds text.
    bool waitForLog(const std::string &text, int timeoutMs = 3000);
    // Text of a printed page (e.g. "cheque-0001.txt"), waiting for it to appear.
    std::string page(const std::string &name, int timeoutMs = 3000);

private:
    std::string readLine(int timeoutMs);

    pid_t pid_ = -1;
    int stdout_ = -1;
    int control_ = -1;
    std::string dir_, outDir_, url_;
    std::mutex mutex_;
    std::string output_;
    std::size_t consumed_ = 0;
    std::thread reader_;
};
