#include "line_settings.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

static void apply(struct lumora_line_settings *s, const char *key, size_t key_len,
                  const char *value, size_t value_len)
{
    char v[32];
    if (value_len == 0 || value_len >= sizeof v)
        return;
    memcpy(v, value, value_len);
    v[value_len] = '\0';
    char *end;

    if (key_len == 4 && strncmp(key, "baud", 4) == 0) {
        long baud = strtol(v, &end, 10);
        if (*end == '\0' && baud > 0)
            s->baud = baud;
    } else if (key_len == 6 && strncmp(key, "parity", 6) == 0) {
        char p = (char)toupper((unsigned char)v[0]);
        if (value_len == 1 && strchr("NEOMS", p))
            s->parity = p;
    } else if (key_len == 4 && strncmp(key, "data", 4) == 0) {
        long bits = strtol(v, &end, 10);
        if (*end == '\0' && bits >= 5 && bits <= 8)
            s->data_bits = (int)bits;
    } else if (key_len == 4 && strncmp(key, "stop", 4) == 0) {
        double stop = strtod(v, &end);
        if (*end != '\0')
            return;
        if (stop == 1.0)
            s->stop_bits = LUMORA_STOP_1;
        else if (stop == 1.5)
            s->stop_bits = LUMORA_STOP_1_5;
        else if (stop == 2.0)
            s->stop_bits = LUMORA_STOP_2;
    }
}

void lumora_line_settings_parse(const char *mode, struct lumora_line_settings *out)
{
    memset(out, 0, sizeof *out);
    const char *p = mode;
    while (*p) {
        while (*p == ' ')
            p++;
        const char *token = p;
        while (*p && *p != ' ')
            p++;
        const char *eq = memchr(token, '=', (size_t)(p - token));
        if (eq)
            apply(out, token, (size_t)(eq - token), eq + 1, (size_t)(p - eq - 1));
    }
}
