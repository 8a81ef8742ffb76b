#include "trace.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

static int trace_on(void)
{
    const char *v = getenv("LUMORA_TRACE");
    return v && *v && !(v[0] == '0' && v[1] == '\0');
}

void lumora_trace(const char *format, ...)
{
    if (!trace_on())
        return;
    va_list args;
    va_start(args, format);
    fputs("lumora: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    va_end(args);
}

void lumora_trace_bytes(const char *what, const void *bytes, size_t length)
{
    if (!trace_on())
        return;
    const unsigned char *b = bytes;
    fprintf(stderr, "lumora: %s %zu byte(s):", what, length);
    for (size_t i = 0; i < length; i++)
        fprintf(stderr, " %02X", b[i]);
    fputc('\n', stderr);
}
