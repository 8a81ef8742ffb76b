#pragma once

#include <string>

// The far end of a pseudo-terminal: the test plays the printer on the master
// side while the library opens the slave by its path. The test also keeps the
// slave open itself, so the terminal outlives the library's own close.
class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    const std::string &slavePath() const { return slavePath_; }
    int slaveFd() const { return slave_; }

    void send(const std::string &bytes);
    // Reads until count bytes have come or timeoutMs passed.
    std::string receive(std::size_t count, int timeoutMs = 2000);
    // Reads everything that comes until the line stays quiet for quietMs.
    std::string receiveAll(int quietMs = 200);
    void closeMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};
