/* Link exports: open, close, send, receive, last error. */
#include <stdint.h>
#include <stdio.h>
#include <strings.h>

#include "Lumora.h"
#include "module_state.h"
#include "port_map.h"
#include "trace.h"

/* The port keeps no write time-out of its own; a send that finds no room on
 * the line for this long has timed out. */
#define WRITE_TIMEOUT_MS 2000
/* A whole block gets the stall time plus this many times its time on the
 * wire: the line's own pace with room for the driver or a device server. */
#define WIRE_TIME_FACTOR 2

static const char rfc2217_scheme[] = "rfc2217://";

static struct lumora_outcome done(int32_t result)
{
    return lumora_outcome(result, LUMORA_OK);
}

static struct lumora_outcome failed(int32_t error)
{
    return lumora_outcome(0, error);
}

static struct lumora_outcome open_port(int32_t number, const char *mode)
{
    /* Reopening closes the earlier connection first: it would otherwise
     * leak and keep its device claimed. */
    if (lumora.port) {
        lumora_trace("reopen: closing the earlier connection");
        lumora.port->ops->close(lumora.port);
        lumora.port = NULL;
    }
    char address[LUMORA_ADDRESS_MAX];
    if (lumora_port_map_lookup(number, address, sizeof address) != 0)
        return failed(LUMORA_ERR_PORTA);

    const struct lumora_port_ops *ops = &lumora_tty_ops;
    const char *where = address;
    if (strncasecmp(address, rfc2217_scheme, sizeof rfc2217_scheme - 1) == 0) {
        ops = &lumora_rfc2217_ops;
        where += sizeof rfc2217_scheme - 1;
    }
    struct lumora_port *port = ops->open(where);
    if (!port)
        return failed(LUMORA_ERR_PORTA);

    struct lumora_line_settings settings;
    lumora_line_settings_parse(mode, &settings);
    if (port->ops->configure(port, &settings) != 0) {
        port->ops->close(port);
        return failed(LUMORA_ERR_PORTA);
    }
    lumora_trace("COM%d open (%s) %s", (int)number, address, mode);
    lumora.port = port;
    lumora.line = settings;
    return done(1);
}

int32_t Lumora_Abre(int32_t port)
{
    return lumora_leave(open_port(port, "baud=9600 parity=N data=8 stop=2"));
}

static struct lumora_outcome open_with(int32_t port, int32_t baud, int32_t parity,
                                       int32_t databits, float stopbits)
{
    if (baud != 2400 && baud != 9600)
        return failed(LUMORA_ERR_ARGUMENTO);
    if (parity < 0 || parity > 2)
        return failed(LUMORA_ERR_ARGUMENTO);
    if (databits < 5 || databits > 8)
        return failed(LUMORA_ERR_ARGUMENTO);
    char mode[64];
    snprintf(mode, sizeof mode, "baud=%d parity=%c data=%d stop=%f", (int)baud,
             "NEO"[parity], (int)databits, (double)stopbits);
    return open_port(port, mode);
}

int32_t Lumora_AbreEX(int32_t port, int32_t baud, int32_t parity, int32_t databits,
                      float stopbits)
{
    return lumora_leave(open_with(port, baud, parity, databits, stopbits));
}

static struct lumora_outcome close_port(void)
{
    if (!lumora.port)
        return failed(LUMORA_ERR_PORTA);
    struct lumora_port *port = lumora.port;
    lumora.port = NULL;
    if (port->ops->close(port) != 0)
        return lumora_outcome(0, LUMORA_KEEP_ERROR);
    return done(1);
}

int32_t Lumora_Fecha(void)
{
    return lumora_leave(close_port());
}

/* Milliseconds the block takes on the line at its speed and framing; a
 * setting the mode string left to the port counts as the slower choice. */
static uint32_t wire_time_ms(size_t length)
{
    const struct lumora_line_settings *s = &lumora.line;
    uint64_t baud = s->baud > 0 ? (uint64_t)s->baud : 2400;
    uint64_t bits = 1 + (uint64_t)(s->data_bits ? s->data_bits : 8)
                    + (s->parity == 'N' ? 0 : 1) + (s->stop_bits == LUMORA_STOP_1 ? 1 : 2);
    uint64_t ms = ((uint64_t)length * bits * 1000 + baud - 1) / baud;
    return ms > UINT32_MAX / 4 ? UINT32_MAX / 4 : (uint32_t)ms;
}

static const struct lumora_deadline *earlier(const struct lumora_deadline *a,
                                             const struct lumora_deadline *b)
{
    return a->at_ns <= b->at_ns ? a : b;
}

/* A transport write takes what fits and returns; the block is sent when every
 * byte has gone. Anything less is a failure: a cheque copy cut short must not
 * read as printed. */
struct lumora_outcome lumora_send(const char *bytes, int32_t length)
{
    struct lumora_port *port = lumora.port;
    if (!port)
        return failed(LUMORA_ERR_PORTA);
    if (!bytes || length < 0)
        return failed(LUMORA_ERR_ARGUMENTO);
    port->ops->purge(port);
    if (length == 0)
        return done(1);
    lumora_trace_bytes("send", bytes, (size_t)length);
    const unsigned char *from = (const unsigned char *)bytes;
    size_t total = (size_t)length, sent = 0;
    struct lumora_deadline whole =
        lumora_deadline_in(WRITE_TIMEOUT_MS + WIRE_TIME_FACTOR * wire_time_ms(total));
    while (sent < total) {
        if (sent > 0 && lumora_deadline_remaining_ms(&whole) == 0) {
            lumora_trace("send: %zu of %zu bytes out when the time was up", sent, total);
            return failed(LUMORA_ERR_TEMPO_ESCRITA);
        }
        struct lumora_deadline stall = lumora_deadline_in(WRITE_TIMEOUT_MS);
        size_t n = 0;
        enum lumora_io io = port->ops->write(port, from + sent, total - sent, &n,
                                             earlier(&stall, &whole));
        if (io != LUMORA_IO_DONE) {
            lumora_trace("send: %zu of %zu bytes out", sent, total);
            return failed(io == LUMORA_IO_TIMEOUT ? LUMORA_ERR_TEMPO_ESCRITA : LUMORA_ERR_ESCRITA);
        }
        sent += n;
    }
    return done(1);
}

int32_t Lumora_EnviaBloco(int32_t port, const char *buffer, int32_t length)
{
    (void)port;
    return lumora_leave(lumora_send(buffer, length));
}

int32_t Lumora_EnviaByte(int32_t port, int32_t value)
{
    (void)port;
    char byte = (char)(value & 0xFF);
    return lumora_leave(lumora_send(&byte, 1));
}

static struct lumora_outcome byte_waiting(void)
{
    if (!lumora.port)
        return failed(LUMORA_ERR_PORTA);
    size_t count;
    if (lumora.port->ops->bytes_waiting(lumora.port, &count) != 0)
        return lumora_outcome(0, LUMORA_KEEP_ERROR);
    return done(count > 0);
}

int32_t Lumora_HaByte(void)
{
    return lumora_leave(byte_waiting());
}

static struct lumora_outcome receive_byte(void)
{
    enum { NO_BYTE = 256 };
    if (!lumora.port)
        return lumora_outcome(NO_BYTE, LUMORA_ERR_PORTA);
    struct lumora_deadline deadline = lumora_deadline_in(lumora.read_timeout_ms + 1);
    unsigned char byte;
    switch (lumora.port->ops->read_byte(lumora.port, &byte, &deadline)) {
    case LUMORA_IO_DONE:
        return done(byte);
    case LUMORA_IO_TIMEOUT:
        return lumora_outcome(NO_BYTE, LUMORA_ERR_TEMPO_LEITURA);
    default:
        return lumora_outcome(NO_BYTE, LUMORA_ERR_LEITURA);
    }
}

int32_t Lumora_RecebeByte(void)
{
    return lumora_leave(receive_byte());
}

int32_t Lumora_UltimoErro(void)
{
    return lumora_leave(lumora_outcome(lumora.last_error, LUMORA_KEEP_ERROR));
}
