#include "port_map.h"

#include <ctype.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

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

/* The first map file there is, or NULL. */
static FILE *open_map(char *path, size_t size)
{
    const char *explicit_path = getenv("LUMORA_PORTAS");
    if (explicit_path && *explicit_path) {
        snprintf(path, size, "%s", explicit_path);
        return fopen(path, "r");
    }
    const char *xdg = getenv("XDG_CONFIG_HOME");
    const char *home = getenv("HOME");
    int n = -1;
    if (xdg && xdg[0] == '/')
        n = snprintf(path, size, "%s/lumora/portas.ini", xdg);
    else if (home && *home)
        n = snprintf(path, size, "%s/.config/lumora/portas.ini", home);
    if (n > 0 && (size_t)n < size) {
        FILE *f = fopen(path, "r");
        if (f)
            return f;
    }
    snprintf(path, size, "/etc/lumora/portas.ini");
    return fopen(path, "r");
}

/* 1 found (value copied), 0 not in the map, -1 value too long. */
static int find_entry(FILE *f, const char *key, char *value, size_t size)
{
    char line[1024];
    int in_section = 0;
    while (fgets(line, sizeof line, f)) {
        size_t len = strlen(line);
        if (len == sizeof line - 1 && line[len - 1] != '\n') {
            /* An over-long line is no entry of ours: skip the rest of it. */
            int c;
            while ((c = fgetc(f)) != EOF && c != '\n')
                ;
            continue;
        }
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
        found = find_entry(f, key, address, size);
        fclose(f);
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
