#include "port_map.h"

#include <ctype.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include "trace.h"

static char *trim(char *s)
{
    while (isspace((unsigned char)*s))
        s++;
    char *end = s + strlen(s);
    while (end > s && isspace((unsigned char)end[-1]))
        *--end = '\0';
    return s;
}

/* A map is a few lines; what reads on past this is no map (a device such
 * as /dev/zero never ends). */
#define MAP_MAX_BYTES 65536
#define LINE_MAX_BYTES 1024

static FILE *open_quietly(const char *path)
{
    /* Non-blocking, so a FIFO without a writer cannot hold the open. */
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return NULL;
    FILE *f = fdopen(fd, "r");
    if (!f)
        close(fd);
    return f;
}

/* The first map file there is, or NULL. */
static FILE *open_map(char *path, size_t size)
{
    const char *explicit_path = getenv("LUMORA_PORTAS");
    if (explicit_path && *explicit_path) {
        snprintf(path, size, "%s", explicit_path);
        return open_quietly(path);
    }
    const char *xdg = getenv("XDG_CONFIG_HOME");
    const char *home = getenv("HOME");
    int n = -1;
    if (xdg && xdg[0] == '/')
        n = snprintf(path, size, "%s/lumora/portas.ini", xdg);
    else if (home && *home)
        n = snprintf(path, size, "%s/.config/lumora/portas.ini", home);
    if (n > 0 && (size_t)n < size) {
        FILE *f = open_quietly(path);
        if (f)
            return f;
    }
    snprintf(path, size, "/etc/lumora/portas.ini");
    return open_quietly(path);
}

/* The whole map into a fresh zero-terminated buffer; NULL when it holds more
 * than a map may or cannot be read. */
static char *read_map(FILE *f)
{
    char *text = malloc(MAP_MAX_BYTES + 1);
    if (!text)
        return NULL;
    size_t length = fread(text, 1, MAP_MAX_BYTES + 1, f);
    if (length > MAP_MAX_BYTES || ferror(f)) {
        free(text);
        return NULL;
    }
    text[length] = '\0';
    return text;
}

/* 1 found (value copied), 0 not in the map, -1 value too long. */
static int find_entry(const char *text, const char *key, char *value, size_t size)
{
    char line[LINE_MAX_BYTES];
    int in_section = 0;
    for (const char *at = text; *at;) {
        size_t len = strcspn(at, "\n");
        const char *next = at + len + (at[len] == '\n');
        /* An over-long line is no entry of ours. */
        if (len >= sizeof line) {
            at = next;
            continue;
        }
        memcpy(line, at, len);
        line[len] = '\0';
        at = next;
        char *s = trim(line);
        if (*s == ';' || *s == '#' || *s == '\0')
            continue;
        if (*s == '[') {
            char *close = strchr(s, ']');
            if (close) {
                *close = '\0';
                in_section = strcasecmp(trim(s + 1), "Portas") == 0;
            }
            continue;
        }
        char *eq = strchr(s, '=');
        if (!in_section || !eq)
            continue;
        *eq = '\0';
        if (strcasecmp(trim(s), key) != 0)
            continue;
        char *v = trim(eq + 1);
        if (*v == '\0')
            return 0;
        if (strlen(v) >= size)
            return -1;
        strcpy(value, v);
        return 1;
    }
    return 0;
}

int lumora_port_map_lookup(int port, char *address, size_t size)
{
    if (port < LUMORA_PORT_FIRST || port > LUMORA_PORT_LAST)
        return -1;
    char key[64];
    snprintf(key, sizeof key, "COM%d", port);

    char path[PATH_MAX];
    int found = 0;
    FILE *f = open_map(path, sizeof path);
    if (f) {
        char *text = read_map(f);
        fclose(f);
        if (!text) {
            lumora_trace("%s: unreadable or over %d bytes", path, MAP_MAX_BYTES);
            return -1;
        }
        found = find_entry(text, key, address, size);
        free(text);
    }
    if (found < 0) {
        lumora_trace("%s: entry for %s too long", path, key);
        return -1;
    }
    if (found == 0 && snprintf(address, size, "/dev/ttyS%d", port - 1) >= (int)size)
        return -1;
    lumora_trace("%s -> %s (%s)", key, address, found ? path : "not in a map");
    return 0;
}
