#include "deadline.h"

#include <errno.h>
#include <limits.h>
#include <poll.h>
#include <time.h>

static int64_t monotonic_ns(void)
{
    struct timespec reading;
    clock_gettime(CLOCK_MONOTONIC, &reading);
    return (int64_t)reading.tv_sec * 1000000000 + reading.tv_nsec;
}

struct lumora_deadline lumora_deadline_in(uint32_t ms)
{
    struct lumora_deadline d = { monotonic_ns() + (int64_t)ms * 1000000 };
    return d;
}

int lumora_deadline_remaining_ms(const struct lumora_deadline *deadline)
{
    int64_t left = deadline->at_ns - monotonic_ns();
    if (left <= 0)
        return 0;
    int64_t ms = (left + 999999) / 1000000;
    return ms > INT_MAX ? INT_MAX : (int)ms;
}

int lumora_wait_fd(int fd, short events, const struct lumora_deadline *deadline,
                   short *revents)
{
    struct pollfd pfd = { .fd = fd, .events = events };
    for (;;) {
        int r = poll(&pfd, 1, lumora_deadline_remaining_ms(deadline));
        if (r > 0) {
            *revents = pfd.revents;
            return 1;
        }
        if (r == 0)
            return 0;
        if (errno != EINTR)
            return -1;
    }
}
