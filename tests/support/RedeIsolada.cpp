#include "RedeIsolada.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

[[noreturn]] void falha(const std::string& oque)
{
    throw std::runtime_error("Rede isolada de teste: " + oque + ": " + std::strerror(errno));
}

void escreve(const char* arquivo, const std::string& texto)
{
    const int fd = ::open(arquivo, O_WRONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::write(fd, texto.data(), texto.size()) == static_cast<ssize_t>(texto.size());
    if (fd >= 0)
        ::close(fd);
    if (!ok)
        falha(arquivo);
}

void loopback(bool ligado)
{
    const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq pedido{};
    std::strcpy(pedido.ifr_name, "lo");
    bool ok = s >= 0 && ::ioctl(s, SIOCGIFFLAGS, &pedido) == 0;
    if (ok) {
        pedido.ifr_flags = static_cast<short>(ligado ? pedido.ifr_flags | IFF_UP : pedido.ifr_flags & ~IFF_UP);
        ok = ::ioctl(s, SIOCSIFFLAGS, &pedido) == 0;
    }
    if (s >= 0)
        ::close(s);
    if (!ok)
        falha(ligado ? "loopback ligado" : "loopback desligado");
}

} // namespace

void RedeIsolada::entra()
{
    // The same ids inside as outside: files keep their owners.
    const std::string uid = std::to_string(::geteuid());
    const std::string gid = std::to_string(::getegid());
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0)
        falha("unshare");
    escreve("/proc/self/setgroups", "deny");
    escreve("/proc/self/uid_map", uid + ' ' + uid + " 1");
    escreve("/proc/self/gid_map", gid + ' ' + gid + " 1");
    loopback(true);
}

void RedeIsolada::corta()
{
    loopback(false);
}

void RedeIsolada::restaura()
{
    loopback(true);
}
