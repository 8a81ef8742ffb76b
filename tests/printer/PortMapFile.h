#pragma once

#include <map>
#include <string>

// A temporary port map that $LUMORA_PORTAS names for the life of the object.
class PortMapFile {
public:
    PortMapFile();
    ~PortMapFile();
    PortMapFile(const PortMapFile &) = delete;
    PortMapFile &operator=(const PortMapFile &) = delete;

    // Maps COM<port> to a device path or rfc2217://host:port.
    void set(int port, const std::string &target);
    const std::string &path() const { return path_; }

private:
    std::string path_;
    std::map<int, std::string> entries_;
};

// Writes text to a file, replacing it.
void writeFile(const std::string &path, const std::string &text);
