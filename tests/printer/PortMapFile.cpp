#include "PortMapFile.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

void writeFile(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

PortMapFile::PortMapFile()
{
    char name[] = "/tmp/lumora-portas-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    close(fd);
    path_ = name;
    setenv("LUMORA_PORTAS", path_.c_str(), 1);
}

PortMapFile::~PortMapFile()
{
    unsetenv("LUMORA_PORTAS");
    unlink(path_.c_str());
}

void PortMapFile::set(int port, const std::string &target)
{
    entries_[port] = target;
    std::string text = "[Portas]\n";
    for (const auto &[number, where] : entries_)
        text += "COM" + std::to_string(number) + "=" + where + "\n";
    writeFile(path_, text);
}
