/* One open connection to a serial port, whatever carries it. Each transport
 * (local terminal, RFC 2217 network port) fills in the operations and embeds
 * struct lumora_port as the first member of its own state. */
#ifndef LUMORA_PORT_H
#define LUMORA_PORT_H

#include <stddef.h>

#include "deadline.h"
#include "line_settings.h"

enum lumora_io {
    LUMORA_IO_DONE,
    LUMORA_IO_TIMEOUT,
    LUMORA_IO_FAILED /* error, or the link is gone */
};

/* Modem input lines. */
#define LUMORA_LINE_DSR 0x1u
#define LUMORA_LINE_CTS 0x2u

/* Line error flags. */
#define LUMORA_LINE_ERROR_TX_FULL 0x1u

struct lumora_port;

struct lumora_port_ops {
    /* Opens the device exclusively; NULL when it cannot be had. */
    struct lumora_port *(*open)(const char *address);
    /* Releases everything, whatever the outcome; 0 when the system agreed. */
    int (*close)(struct lumora_port *port);
    /* Raw line without flow control plus the given settings; 0 on success. */
    int (*configure)(struct lumora_port *port, const struct lumora_line_settings *settings);
    /* Clears a break and discards what is pending in both directions. */
    void (*purge)(struct lumora_port *port);
    /* Writes what the line takes of length bytes (length > 0) by the
     * deadline: DONE once at least one byte has gone, with *sent telling how
     * many. The caller loops for the rest. */
    enum lumora_io (*write)(struct lumora_port *port, const unsigned char *bytes,
                            size_t length, size_t *sent,
                            const struct lumora_deadline *deadline);
    enum lumora_io (*read_byte)(struct lumora_port *port, unsigned char *byte,
                                const struct lumora_deadline *deadline);
    /* The operations below answer 0 and fill their result, or -1. */
    int (*bytes_waiting)(struct lumora_port *port, size_t *count);
    int (*modem_lines)(struct lumora_port *port, unsigned *lines);
    int (*line_errors)(struct lumora_port *port, unsigned *errors);
    /* 1 once the link is known to be gone (peer closed or reset, device
     * removed): from then on nothing it reported before holds. */
    int (*lost)(struct lumora_port *port);
};

struct lumora_port {
    const struct lumora_port_ops *ops;
};

extern const struct lumora_port_ops lumora_tty_ops;
extern const struct lumora_port_ops lumora_rfc2217_ops;

#endif
