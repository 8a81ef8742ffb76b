/* Deadlines on the monotonic clock, and waiting on a descriptor until one. */
#ifndef LUMORA_DEADLINE_H
#define LUMORA_DEADLINE_H

#include <stdint.h>

struct lumora_deadline {
    int64_t at_ns; /* CLOCK_MONOTONIC */
};

struct lumora_deadline lumora_deadline_in(uint32_t ms);

/* Milliseconds left, rounded up so a poll never wakes just short of it. */
int lumora_deadline_remaining_ms(const struct lumora_deadline *deadline);

/* Polls fd for events until the deadline, retrying on EINTR.
 * 1: ready (revents filled), 0: deadline passed, -1: poll failed. */
int lumora_wait_fd(int fd, short events, const struct lumora_deadline *deadline,
                   short *revents);

#endif
