/* Local serial device (or pseudo-terminal) through termios. */
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "port.h"
#include "trace.h"

/* Output that makes no progress for this long is taken as stuck. */
#define DRAIN_STALL_MS 2000

struct tty_port {
    struct lumora_port base;
    int fd;
    int lost;
};

static int fd_of(struct lumora_port *port)
{
    return ((struct tty_port *)port)->fd;
}

/* A removed device, or a pseudo-terminal whose far end closed, answers
 * every call with EIO (or hangs up): the link is gone for good. */
static void note_failure(struct lumora_port *port, int error)
{
    if (error == EIO || error == ENXIO || error == ENODEV)
        ((struct tty_port *)port)->lost = 1;
}

static void note_lost(struct lumora_port *port)
{
    ((struct tty_port *)port)->lost = 1;
}

static struct lumora_port *tty_open(const char *path)
{
    int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lumora_trace("open %s: %s", path, strerror(errno));
        return NULL;
    }
    int exclusive = 0;
    struct tty_port *port = NULL;
    /* flock keeps out other openers of this process too (and root, whom
     * TIOCEXCL does not stop); TIOCEXCL keeps out programs that never lock. */
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        lumora_trace("claim %s: %s", path, strerror(errno));
        goto fail;
    }
    exclusive = 1;
    port = calloc(1, sizeof *port);
    if (!port)
        goto fail;
    port->base.ops = &lumora_tty_ops;
    port->fd = fd;
    return &port->base;

fail:
    /* A pseudo-terminal keeps its exclusive flag while its master lives. */
    if (exclusive)
        ioctl(fd, TIOCNXCL);
    close(fd);
    return NULL;
}

static int tty_close(struct lumora_port *port)
{
    int fd = fd_of(port);
    free(port);
    ioctl(fd, TIOCNXCL);
    return close(fd);
}

static int speed_of(long baud, speed_t *speed)
{
    static const struct { long baud; speed_t speed; } table[] = {
        { 50, B50 }, { 75, B75 }, { 110, B110 }, { 134, B134 }, { 150, B150 },
        { 200, B200 }, { 300, B300 }, { 600, B600 }, { 1200, B1200 },
        { 1800, B1800 }, { 2400, B2400 }, { 4800, B4800 }, { 9600, B9600 },
        { 19200, B19200 }, { 38400, B38400 }, { 57600, B57600 },
        { 115200, B115200 }, { 230400, B230400 }, { 460800, B460800 },
        { 500000, B500000 }, { 576000, B576000 }, { 921600, B921600 },
        { 1000000, B1000000 }, { 1152000, B1152000 }, { 1500000, B1500000 },
        { 2000000, B2000000 }, { 2500000, B2500000 }, { 3000000, B3000000 },
        { 3500000, B3500000 }, { 4000000, B4000000 },
    };
    for (size_t i = 0; i < sizeof table / sizeof table[0]; i++) {
        if (table[i].baud == baud) {
            *speed = table[i].speed;
            return 1;
        }
    }
    return 0;
}

static int tty_configure(struct lumora_port *port, const struct lumora_line_settings *s)
{
    int fd = fd_of(port);
    struct termios t;
    if (tcgetattr(fd, &t) != 0)
        return -1;

    t.c_iflag &= ~(tcflag_t)(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL
                             | IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~(tcflag_t)OPOST;
    t.c_lflag &= ~(tcflag_t)(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(tcflag_t)(HUPCL | CRTSCTS);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    speed_t speed;
    if (s->baud && speed_of(s->baud, &speed)) {
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
    }
    switch (s->parity) {
    case 'N': t.c_cflag &= ~(tcflag_t)(PARENB | PARODD | CMSPAR); break;
    case 'E': t.c_cflag = (t.c_cflag & ~(tcflag_t)(PARODD | CMSPAR)) | PARENB; break;
    case 'O': t.c_cflag = (t.c_cflag & ~(tcflag_t)CMSPAR) | PARENB | PARODD; break;
    case 'M': t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 'S': t.c_cflag = (t.c_cflag & ~(tcflag_t)PARODD) | PARENB | CMSPAR; break;
    default: break;
    }
    if (s->data_bits) {
        static const tcflag_t sizes[] = { CS5, CS6, CS7, CS8 };
        t.c_cflag = (t.c_cflag & ~(tcflag_t)CSIZE) | sizes[s->data_bits - 5];
    }
    /* termios has no 1.5 stop bits: that setting stays as read. */
    if (s->stop_bits == LUMORA_STOP_1)
        t.c_cflag &= ~(tcflag_t)CSTOPB;
    else if (s->stop_bits == LUMORA_STOP_2)
        t.c_cflag |= CSTOPB;

    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        lumora_trace("tcsetattr: %s", strerror(errno));
        return -1;
    }
    return 0;
}

/* 1 when the transmit queue has emptied, 0 when it stopped moving. */
static int output_drained(int fd)
{
    struct lumora_deadline stall = lumora_deadline_in(DRAIN_STALL_MS);
    int last = -1;
    for (;;) {
        int queued;
        if (ioctl(fd, TIOCOUTQ, &queued) != 0)
            return 0;
        if (queued <= 0)
            return 1;
        if (queued != last) {
            last = queued;
            stall = lumora_deadline_in(DRAIN_STALL_MS);
        } else if (lumora_deadline_remaining_ms(&stall) == 0) {
            return 0;
        }
        poll(NULL, 0, 2);
    }
}

/* write() returns once the bytes are queued in the kernel, not once they are
 * on the wire, so flushing the transmit queue at once would cut the frame
 * the previous call sent. Let it go out first; only output that cannot get
 * out is thrown away. Unread input always is. */
static void tty_purge(struct lumora_port *port)
{
    int fd = fd_of(port);
    ioctl(fd, TIOCCBRK);
    tcflush(fd, output_drained(fd) ? TCIFLUSH : TCIOFLUSH);
}

static enum lumora_io tty_write(struct lumora_port *port, const unsigned char *bytes,
                                size_t length, size_t *sent,
                                const struct lumora_deadline *deadline)
{
    int fd = fd_of(port);
    for (;;) {
        ssize_t n = write(fd, bytes, length);
        if (n > 0) {
            *sent = (size_t)n;
            return LUMORA_IO_DONE;
        }
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            lumora_trace("write: %s", n == 0 ? "nothing written" : strerror(errno));
            if (n < 0)
                note_failure(port, errno);
            return LUMORA_IO_FAILED;
        }
        short revents;
        int r = lumora_wait_fd(fd, POLLOUT, deadline, &revents);
        if (r == 0)
            return LUMORA_IO_TIMEOUT;
        if (r < 0 || (revents & (POLLERR | POLLHUP | POLLNVAL))) {
            if (r > 0)
                note_lost(port);
            return LUMORA_IO_FAILED;
        }
    }
}

static enum lumora_io tty_read_byte(struct lumora_port *port, unsigned char *byte,
                                    const struct lumora_deadline *deadline)
{
    int fd = fd_of(port);
    for (;;) {
        ssize_t n = read(fd, byte, 1);
        if (n == 1)
            return LUMORA_IO_DONE;
        /* End of file on a terminal means the device or its peer went away. */
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            lumora_trace("read: %s", n == 0 ? "link lost" : strerror(errno));
            if (n == 0)
                note_lost(port);
            else
                note_failure(port, errno);
            return LUMORA_IO_FAILED;
        }
        short revents;
        int r = lumora_wait_fd(fd, POLLIN, deadline, &revents);
        if (r == 0)
            return LUMORA_IO_TIMEOUT;
        if (r < 0 || ((revents & (POLLERR | POLLHUP | POLLNVAL)) && !(revents & POLLIN))) {
            lumora_trace("read: link lost");
            if (r > 0)
                note_lost(port);
            return LUMORA_IO_FAILED;
        }
    }
}

static int tty_bytes_waiting(struct lumora_port *port, size_t *count)
{
    int n;
    if (ioctl(fd_of(port), FIONREAD, &n) != 0) {
        note_failure(port, errno);
        return -1;
    }
    if (n < 0)
        return -1;
    *count = (size_t)n;
    return 0;
}

static int tty_modem_lines(struct lumora_port *port, unsigned *lines)
{
    int bits;
    if (ioctl(fd_of(port), TIOCMGET, &bits) != 0) {
        lumora_trace("TIOCMGET: %s", strerror(errno));
        note_failure(port, errno);
        return -1;
    }
    *lines = ((bits & TIOCM_DSR) ? LUMORA_LINE_DSR : 0u)
             | ((bits & TIOCM_CTS) ? LUMORA_LINE_CTS : 0u);
    return 0;
}

/* Linux keeps no transmit-overflow flag (a full queue makes writes wait), so
 * there is never one to report while the device is still there. */
static int tty_line_errors(struct lumora_port *port, unsigned *errors)
{
    struct termios t;
    if (tcgetattr(fd_of(port), &t) != 0) {
        note_failure(port, errno);
        return -1;
    }
    *errors = 0;
    return 0;
}

static int tty_lost(struct lumora_port *port)
{
    return ((struct tty_port *)port)->lost;
}

const struct lumora_port_ops lumora_tty_ops = {
    .open = tty_open,
    .close = tty_close,
    .configure = tty_configure,
    .purge = tty_purge,
    .write = tty_write,
    .read_byte = tty_read_byte,
    .bytes_waiting = tty_bytes_waiting,
    .modem_lines = tty_modem_lines,
    .line_errors = tty_line_errors,
    .lost = tty_lost,
};
