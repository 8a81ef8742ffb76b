/* The library's one connection and everything it keeps between calls. */
#ifndef LUMORA_MODULE_STATE_H
#define LUMORA_MODULE_STATE_H

#include <stdint.h>

#include "line_settings.h"
#include "port.h"

#define LUMORA_FRAME_SIZE 512

struct lumora_module {
    struct lumora_port *port; /* NULL while closed */
    int32_t last_error;
    uint32_t read_timeout_ms; /* per byte; a read gives up after this plus 1 ms */
    struct lumora_line_settings line; /* asked of the port at the last open */
    char pending_frame[LUMORA_FRAME_SIZE]; /* amount frame held for the print command */
};

extern struct lumora_module lumora;

/* What an export answers and the last-error code it leaves behind. */
#define LUMORA_KEEP_ERROR (-1)

struct lumora_outcome {
    int32_t result;
    int32_t error; /* LUMORA_KEEP_ERROR leaves the code as it was */
};

static inline struct lumora_outcome lumora_outcome(int32_t result, int32_t error)
{
    struct lumora_outcome o = { result, error };
    return o;
}

/* The one way out of every export: records the code, hands back the result. */
int32_t lumora_leave(struct lumora_outcome outcome);

/* Clears break, purges both queues and writes the block: the send of every
 * export that puts bytes on the line. */
struct lumora_outcome lumora_send(const char *bytes, int32_t length);

#endif
