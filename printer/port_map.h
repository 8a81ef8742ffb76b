/* Which device or network port stands behind COM1..COM255.
 *
 * The map is the [Portas] section of an INI file: $LUMORA_PORTAS when set,
 * else $XDG_CONFIG_HOME/lumora/portas.ini (~/.config/lumora/portas.ini) when
 * it exists, else /etc/lumora/portas.ini. Keys COM1..COM255, values a device
 * path or rfc2217://host:port. A port the map leaves out is /dev/ttyS<n-1>.
 * The file is read again at every lookup. */
#ifndef LUMORA_PORT_MAP_H
#define LUMORA_PORT_MAP_H

#include <stddef.h>

#define LUMORA_PORT_FIRST 1
#define LUMORA_PORT_LAST 255
#define LUMORA_ADDRESS_MAX 512

/* Fills address with the target of COM<port>; 0, or -1 when the port number
 * is out of range or its entry does not fit. */
int lumora_port_map_lookup(int port, char *address, size_t size);

#endif
