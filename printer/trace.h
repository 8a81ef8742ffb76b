/* Debug trace to stderr, on when LUMORA_TRACE is set to anything but "" or "0". */
#ifndef LUMORA_TRACE_H
#define LUMORA_TRACE_H

#include <stddef.h>

void lumora_trace(const char *format, ...) __attribute__((format(printf, 1, 2)));
void lumora_trace_bytes(const char *what, const void *bytes, size_t length);

#endif
