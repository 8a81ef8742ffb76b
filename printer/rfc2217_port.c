/* Serial port on a network device server, by RFC 2217 (Telnet COM Port
 * Control), as ser2net and the like offer it. */
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <linux/sockios.h>
#include <unistd.h>

#include "port.h"
#include "telnet_codec.h"
#include "trace.h"

#define CONNECT_TIMEOUT_MS 5000
/* How long the server gets to accept the COM port option and to send its
 * first modem-state report. */
#define ANSWER_TIMEOUT_MS 2000
#define PURGE_ACK_TIMEOUT_MS 1000
#define REPLY_TIMEOUT_MS 1000
/* How long a close waits for the server to acknowledge the last output. */
#define CLOSE_TIMEOUT_MS 2000
#define INBOX_SIZE 4096

/* Client commands; the server answers with the same code plus 100. */
enum {
    CPC_SET_BAUDRATE = 1,
    CPC_SET_DATASIZE = 2,
    CPC_SET_PARITY = 3,
    CPC_SET_STOPSIZE = 4,
    CPC_SET_CONTROL = 5,
    CPC_NOTIFY_MODEMSTATE = 7,
    CPC_SET_MODEMSTATE_MASK = 11,
    CPC_PURGE_DATA = 12,
    CPC_SERVER = 100
};
enum { CONTROL_NO_FLOW_OUT = 1, CONTROL_BREAK_OFF = 6, CONTROL_NO_FLOW_IN = 14 };
/* Only the server's receive buffer: its transmit buffer may still hold the
 * previous frame on its way to the printer. */
enum { PURGE_RECEIVED = 1 };
enum { MODEM_CTS = 0x10, MODEM_DSR = 0x20, MODEM_DELTA_CTS = 0x01, MODEM_DELTA_DSR = 0x02 };

struct rfc2217_port {
    struct lumora_port base;
    int fd;
    int lost;
    int com_port_answer; /* 0 not yet, 1 accepted, -1 refused */
    int modem_reported;
    unsigned char modem_state;
    int mask_acked; /* the server took the last of the line settings */
    int purge_acked;
    int purge_pending;     /* a purge awaits its acknowledgement */
    int purge_ack_missing; /* the server never acknowledged a purge: stop waiting */
    int owed_iac;          /* second half of a doubled 0xFF cut off by a time-out */
    struct telnet_decoder decoder;
    size_t inbox_head, inbox_count;
    unsigned char inbox[INBOX_SIZE]; /* data received, not yet read */
    size_t reply_length;
    unsigned char reply[48]; /* negotiation answers still to send */
};

static struct rfc2217_port *self(struct lumora_port *port)
{
    return (struct rfc2217_port *)port;
}

static enum lumora_io send_raw(struct rfc2217_port *p, const unsigned char *bytes, size_t length,
                               size_t *written, const struct lumora_deadline *deadline)
{
    static const unsigned char iac = TELNET_IAC;
    *written = 0;
    while (p->owed_iac || *written < length) {
        const unsigned char *from = p->owed_iac ? &iac : bytes + *written;
        size_t n = p->owed_iac ? 1 : length - *written;
        ssize_t r = send(p->fd, from, n, MSG_NOSIGNAL);
        if (r > 0) {
            if (p->owed_iac)
                p->owed_iac = 0;
            else
                *written += (size_t)r;
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            lumora_trace("send: %s", strerror(errno));
            p->lost = 1;
            return LUMORA_IO_FAILED;
        }
        short revents;
        int w = lumora_wait_fd(p->fd, POLLOUT, deadline, &revents);
        if (w == 0)
            return LUMORA_IO_TIMEOUT;
        if (w < 0 || (revents & (POLLERR | POLLHUP | POLLNVAL))) {
            p->lost = 1;
            return LUMORA_IO_FAILED;
        }
    }
    return LUMORA_IO_DONE;
}

static void queue_reply(struct rfc2217_port *p, unsigned char verb, unsigned char option)
{
    if (p->reply_length + 3 > sizeof p->reply)
        return;
    p->reply[p->reply_length++] = TELNET_IAC;
    p->reply[p->reply_length++] = verb;
    p->reply[p->reply_length++] = option;
}

static void on_data(void *context, unsigned char byte)
{
    struct rfc2217_port *p = context;
    if (p->inbox_count == INBOX_SIZE)
        return; /* overrun, as a full receive queue would */
    p->inbox[(p->inbox_head + p->inbox_count++) % INBOX_SIZE] = byte;
}

/* We offered COM-PORT, BINARY and SGA ourselves, so any answer about them is
 * the reply to that offer; everything else is refused. */
static void on_negotiation(void *context, unsigned char verb, unsigned char option)
{
    struct rfc2217_port *p = context;
    int offered = option == TELNET_OPT_BINARY || option == TELNET_OPT_SGA;
    if (option == TELNET_OPT_COM_PORT && (verb == TELNET_DO || verb == TELNET_DONT))
        p->com_port_answer = verb == TELNET_DO ? 1 : -1;
    else if (verb == TELNET_DO && !offered)
        queue_reply(p, TELNET_WONT, option);
    else if (verb == TELNET_WILL && !offered)
        queue_reply(p, TELNET_DONT, option);
}

static void on_subnegotiation(void *context, const unsigned char *payload, size_t length)
{
    struct rfc2217_port *p = context;
    if (length < 2 || payload[0] != TELNET_OPT_COM_PORT)
        return;
    switch (payload[1]) {
    case CPC_SERVER + CPC_NOTIFY_MODEMSTATE:
        if (length >= 3) {
            p->modem_state = payload[2];
            p->modem_reported = 1;
            lumora_trace("modem state %02X", payload[2]);
        }
        break;
    case CPC_SERVER + CPC_SET_MODEMSTATE_MASK:
        p->mask_acked = 1;
        break;
    case CPC_SERVER + CPC_PURGE_DATA:
        /* Whatever came before the acknowledgement predates the purge. */
        if (p->purge_pending)
            p->inbox_count = 0;
        p->purge_pending = 0;
        p->purge_acked = 1;
        break;
    default:
        break;
    }
}

static const struct telnet_events events = { on_data, on_negotiation, on_subnegotiation };

/* Takes in what the server sent, waiting for something until the deadline.
 * 1: something came, 0: nothing by the deadline, -1: the link is gone. */
static int pump(struct rfc2217_port *p, const struct lumora_deadline *deadline)
{
    if (p->lost)
        return -1;
    for (;;) {
        unsigned char buf[1024];
        ssize_t n = recv(p->fd, buf, sizeof buf, 0);
        if (n > 0) {
            /* Acknowledge at once: a server that batches small replies
             * (Nagle) would otherwise hold the next one back until our
             * delayed acknowledgement, some 40 ms per command. */
            int on = 1;
            setsockopt(p->fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
            telnet_decode(&p->decoder, buf, (size_t)n, &events, p);
            if (p->reply_length) {
                struct lumora_deadline d = lumora_deadline_in(REPLY_TIMEOUT_MS);
                size_t written;
                send_raw(p, p->reply, p->reply_length, &written,
                         d.at_ns < deadline->at_ns ? &d : deadline);
                p->reply_length = 0;
            }
            return p->lost ? -1 : 1;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            lumora_trace("receive: %s", n == 0 ? "server closed the connection" : strerror(errno));
            p->lost = 1;
            return -1;
        }
        short revents;
        int r = lumora_wait_fd(p->fd, POLLIN, deadline, &revents);
        if (r == 0)
            return 0;
        if (r < 0) {
            p->lost = 1;
            return -1;
        }
    }
}

/* Takes in what has already arrived, without waiting. */
static int drain(struct rfc2217_port *p)
{
    struct lumora_deadline expired = lumora_deadline_in(0);
    for (int i = 0; i < 64; i++) {
        int r = pump(p, &expired);
        if (r <= 0)
            return r;
    }
    return 0;
}

/* Waits until *flag is set: 1 set, 0 not by the deadline, -1 link gone.
 * A server that never stops sending must not hold the wait open, so the
 * deadline counts on every pass, not only when the line goes quiet. */
static int await(struct rfc2217_port *p, const int *flag, const struct lumora_deadline *deadline)
{
    while (!*flag) {
        if (lumora_deadline_remaining_ms(deadline) == 0)
            return 0;
        int r = pump(p, deadline);
        if (r <= 0)
            return r;
    }
    return 1;
}

/* Appends IAC SB COM-PORT command value IAC SE to buf (large enough). */
static size_t put_command(unsigned char *buf, size_t at, unsigned char command,
                          const unsigned char *value, size_t length)
{
    size_t escaped;
    buf[at++] = TELNET_IAC;
    buf[at++] = TELNET_SB;
    buf[at++] = TELNET_OPT_COM_PORT;
    buf[at++] = command;
    telnet_escape(value, length, buf + at, 2 * length, &escaped);
    at += escaped;
    buf[at++] = TELNET_IAC;
    buf[at++] = TELNET_SE;
    return at;
}

static size_t put_byte_command(unsigned char *buf, size_t at, unsigned char command,
                               unsigned char value)
{
    return put_command(buf, at, command, &value, 1);
}

static enum lumora_io send_commands(struct rfc2217_port *p, const unsigned char *buf, size_t length,
                                    const struct lumora_deadline *deadline)
{
    size_t written;
    lumora_trace_bytes("rfc2217 commands", buf, length);
    return send_raw(p, buf, length, &written, deadline);
}

/* "host:port" or "[v6 address]:port". */
static int split_address(const char *address, char *host, size_t host_size, const char **service)
{
    const char *colon = strrchr(address, ':');
    if (!colon || colon[1] == '\0' || strspn(colon + 1, "0123456789") != strlen(colon + 1))
        return -1;
    const char *begin = address, *end = colon;
    if (*begin == '[' && end > begin && end[-1] == ']') {
        begin++;
        end--;
    }
    size_t length = (size_t)(end - begin);
    if (length == 0 || length >= host_size)
        return -1;
    memcpy(host, begin, length);
    host[length] = '\0';
    *service = colon + 1;
    return 0;
}

static int connect_to(const char *host, const char *service)
{
    struct addrinfo hints = { .ai_socktype = SOCK_STREAM, .ai_flags = AI_NUMERICSERV };
    struct addrinfo *list;
    int rc = getaddrinfo(host, service, &hints, &list);
    if (rc != 0) {
        lumora_trace("%s: %s", host, gai_strerror(rc));
        return -1;
    }
    struct lumora_deadline deadline = lumora_deadline_in(CONNECT_TIMEOUT_MS);
    int fd = -1;
    for (struct addrinfo *a = list; a && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        int error = 0;
        if (connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            error = errno;
            short revents;
            socklen_t size = sizeof error;
            if (error == EINPROGRESS) {
                int r = lumora_wait_fd(fd, POLLOUT, &deadline, &revents);
                if (r <= 0)
                    error = r == 0 ? ETIMEDOUT : errno;
                else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                    error = errno;
            }
        }
        if (error) {
            lumora_trace("connect %s:%s: %s", host, service, strerror(error));
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(list);
    if (fd >= 0) {
        int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd;
}

/* close() with unread input makes the kernel reset the connection, and a
 * reset throws away output the server has not acknowledged yet: a job's last
 * frame. So end the output (the server acknowledges the end at once, where
 * it would delay acknowledging data) and wait until the server has
 * acknowledged it all, taking in what it sends meanwhile. */
static void settle(struct rfc2217_port *p)
{
    shutdown(p->fd, SHUT_WR);
    struct lumora_deadline d = lumora_deadline_in(CLOSE_TIMEOUT_MS);
    int unacknowledged;
    while (ioctl(p->fd, SIOCOUTQ, &unacknowledged) == 0 && unacknowledged > 0
           && lumora_deadline_remaining_ms(&d) > 0) {
        struct lumora_deadline tick = lumora_deadline_in(5);
        if (pump(p, &tick) < 0)
            return;
    }
    struct lumora_deadline expired = lumora_deadline_in(0);
    while (lumora_deadline_remaining_ms(&d) > 0 && pump(p, &expired) > 0)
        ;
}

static int rfc2217_close(struct lumora_port *port)
{
    struct rfc2217_port *p = self(port);
    int fd = p->fd;
    settle(p);
    free(port);
    return close(fd);
}

static struct lumora_port *rfc2217_open(const char *address)
{
    char host[256];
    const char *service;
    if (split_address(address, host, sizeof host, &service) != 0) {
        lumora_trace("not a host:port address: %s", address);
        return NULL;
    }
    int fd = connect_to(host, service);
    if (fd < 0)
        return NULL;
    struct rfc2217_port *p = calloc(1, sizeof *p);
    if (!p) {
        close(fd);
        return NULL;
    }
    p->base.ops = &lumora_rfc2217_ops;
    p->fd = fd;

    /* Each step has its own share of the open's time, whatever the server
     * sends meanwhile. */
    struct lumora_deadline answer = lumora_deadline_in(ANSWER_TIMEOUT_MS);
    static const unsigned char offer[] = {
        TELNET_IAC, TELNET_WILL, TELNET_OPT_COM_PORT,
        TELNET_IAC, TELNET_WILL, TELNET_OPT_BINARY,
        TELNET_IAC, TELNET_DO, TELNET_OPT_BINARY,
        TELNET_IAC, TELNET_WILL, TELNET_OPT_SGA,
        TELNET_IAC, TELNET_DO, TELNET_OPT_SGA,
    };
    if (send_commands(p, offer, sizeof offer, &answer) != LUMORA_IO_DONE
        || await(p, &p->com_port_answer, &answer) <= 0 || p->com_port_answer < 0) {
        lumora_trace("%s: no COM port control", address);
        rfc2217_close(&p->base);
        return NULL;
    }
    return &p->base;
}

static int rfc2217_configure(struct lumora_port *port, const struct lumora_line_settings *s)
{
    struct rfc2217_port *p = self(port);
    unsigned char buf[128];
    size_t n = 0;
    if (s->baud > 0 && (unsigned long)s->baud <= UINT32_MAX) {
        uint32_t b = (uint32_t)s->baud;
        unsigned char v[4] = { (unsigned char)(b >> 24), (unsigned char)(b >> 16),
                               (unsigned char)(b >> 8), (unsigned char)b };
        n = put_command(buf, n, CPC_SET_BAUDRATE, v, sizeof v);
    }
    if (s->data_bits)
        n = put_byte_command(buf, n, CPC_SET_DATASIZE, (unsigned char)s->data_bits);
    if (s->parity) {
        static const char letters[] = "NOEMS"; /* RFC 2217 values 1..5 */
        n = put_byte_command(buf, n, CPC_SET_PARITY,
                             (unsigned char)(strchr(letters, s->parity) - letters + 1));
    }
    if (s->stop_bits == LUMORA_STOP_1 || s->stop_bits == LUMORA_STOP_2 || s->stop_bits == LUMORA_STOP_1_5)
        n = put_byte_command(buf, n, CPC_SET_STOPSIZE,
                             s->stop_bits == LUMORA_STOP_1 ? 1 : s->stop_bits == LUMORA_STOP_2 ? 2 : 3);
    n = put_byte_command(buf, n, CPC_SET_CONTROL, CONTROL_NO_FLOW_OUT);
    n = put_byte_command(buf, n, CPC_SET_CONTROL, CONTROL_NO_FLOW_IN);
    n = put_byte_command(buf, n, CPC_SET_CONTROL, CONTROL_BREAK_OFF);
    n = put_byte_command(buf, n, CPC_SET_MODEMSTATE_MASK,
                         MODEM_DSR | MODEM_CTS | MODEM_DELTA_DSR | MODEM_DELTA_CTS);
    struct lumora_deadline answer = lumora_deadline_in(ANSWER_TIMEOUT_MS);
    if (send_commands(p, buf, n, &answer) != LUMORA_IO_DONE)
        return -1;
    /* The acknowledgement of the mask, the last command, tells that the
     * server took the settings: a server gone meanwhile fails the open here,
     * where its report of the lines from before the settings would still
     * read as a printer switched on. A server that never acknowledges only
     * costs the wait. A status query right after the open must see the
     * server's report. */
    if (await(p, &p->mask_acked, &answer) < 0 || await(p, &p->modem_reported, &answer) < 0)
        return -1;
    return 0;
}

static void rfc2217_purge(struct lumora_port *port)
{
    struct rfc2217_port *p = self(port);
    unsigned char buf[16];
    size_t n = put_byte_command(buf, 0, CPC_SET_CONTROL, CONTROL_BREAK_OFF);
    n = put_byte_command(buf, n, CPC_PURGE_DATA, PURGE_RECEIVED);
    p->inbox_count = 0;
    p->purge_acked = 0;
    p->purge_pending = 1;
    struct lumora_deadline ack = lumora_deadline_in(PURGE_ACK_TIMEOUT_MS);
    if (send_commands(p, buf, n, &ack) == LUMORA_IO_DONE && !p->purge_ack_missing
        && await(p, &p->purge_acked, &ack) == 0) {
        lumora_trace("purge not acknowledged; not waiting for it again");
        p->purge_ack_missing = 1;
    }
    p->purge_pending = 0;
}

/* Data bytes carried by the first `written` bytes of an escaped buffer; a
 * doubled 0xFF cut in half still counts, its second half is owed. */
static size_t data_in(const unsigned char *escaped, size_t written, int *owed_iac)
{
    size_t data = 0;
    for (size_t i = 0; i < written; data++) {
        if (escaped[i] == TELNET_IAC && i + 1 == written)
            *owed_iac = 1;
        i += escaped[i] == TELNET_IAC ? 2 : 1;
    }
    return data;
}

static enum lumora_io rfc2217_write(struct lumora_port *port, const unsigned char *bytes,
                                    size_t length, size_t *sent,
                                    const struct lumora_deadline *deadline)
{
    struct rfc2217_port *p = self(port);
    if (p->lost)
        return LUMORA_IO_FAILED;
    size_t done = 0;
    /* Once some bytes have gone, a full socket ends the call: the caller
     * counts the progress and gives the rest a fresh stall time. */
    struct lumora_deadline expired = lumora_deadline_in(0);
    while (done < length) {
        unsigned char out[2048];
        size_t out_length, written;
        size_t took = telnet_escape(bytes + done, length - done, out, sizeof out, &out_length);
        enum lumora_io io = send_raw(p, out, out_length, &written, done ? &expired : deadline);
        if (io != LUMORA_IO_DONE) {
            done += data_in(out, written, &p->owed_iac);
            if (done == 0)
                return io;
            break;
        }
        done += took;
    }
    *sent = done;
    return LUMORA_IO_DONE;
}

static enum lumora_io rfc2217_read_byte(struct lumora_port *port, unsigned char *byte,
                                        const struct lumora_deadline *deadline)
{
    struct rfc2217_port *p = self(port);
    while (p->inbox_count == 0) {
        if (lumora_deadline_remaining_ms(deadline) == 0)
            return LUMORA_IO_TIMEOUT;
        int r = pump(p, deadline);
        if (r < 0)
            return LUMORA_IO_FAILED;
        if (r == 0)
            return LUMORA_IO_TIMEOUT;
    }
    *byte = p->inbox[p->inbox_head];
    p->inbox_head = (p->inbox_head + 1) % INBOX_SIZE;
    p->inbox_count--;
    return LUMORA_IO_DONE;
}

static int rfc2217_bytes_waiting(struct lumora_port *port, size_t *count)
{
    struct rfc2217_port *p = self(port);
    if (drain(p) < 0 && p->inbox_count == 0)
        return -1;
    *count = p->inbox_count;
    return 0;
}

static int rfc2217_modem_lines(struct lumora_port *port, unsigned *lines)
{
    struct rfc2217_port *p = self(port);
    if (drain(p) < 0 || !p->modem_reported)
        return -1;
    *lines = ((p->modem_state & MODEM_DSR) ? LUMORA_LINE_DSR : 0u)
             | ((p->modem_state & MODEM_CTS) ? LUMORA_LINE_CTS : 0u);
    return 0;
}

static int rfc2217_lost(struct lumora_port *port)
{
    return self(port)->lost;
}

/* RFC 2217 reports no transmit overflow; the server's own queue absorbs it. */
static int rfc2217_line_errors(struct lumora_port *port, unsigned *errors)
{
    if (drain(self(port)) < 0)
        return -1;
    *errors = 0;
    return 0;
}

const struct lumora_port_ops lumora_rfc2217_ops = {
    .open = rfc2217_open,
    .close = rfc2217_close,
    .configure = rfc2217_configure,
    .purge = rfc2217_purge,
    .write = rfc2217_write,
    .read_byte = rfc2217_read_byte,
    .bytes_waiting = rfc2217_bytes_waiting,
    .modem_lines = rfc2217_modem_lines,
    .line_errors = rfc2217_line_errors,
    .lost = rfc2217_lost,
};
