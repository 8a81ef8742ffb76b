/* Telnet framing (RFC 854/855) as far as an RFC 2217 client needs it:
 * doubling 0xFF on the way out and taking commands out of the data on the
 * way in. */
#ifndef LUMORA_TELNET_CODEC_H
#define LUMORA_TELNET_CODEC_H

#include <stddef.h>

enum {
    TELNET_SE = 240,
    TELNET_SB = 250,
    TELNET_WILL = 251,
    TELNET_WONT = 252,
    TELNET_DO = 253,
    TELNET_DONT = 254,
    TELNET_IAC = 255
};

enum {
    TELNET_OPT_BINARY = 0,
    TELNET_OPT_SGA = 3,
    TELNET_OPT_COM_PORT = 44
};

#define TELNET_SB_MAX 64

struct telnet_events {
    void (*data)(void *context, unsigned char byte);
    void (*negotiation)(void *context, unsigned char verb, unsigned char option);
    /* The unescaped bytes between IAC SB and IAC SE, option first. */
    void (*subnegotiation)(void *context, const unsigned char *payload, size_t length);
};

struct telnet_decoder {
    int state;
    unsigned char verb;
    int sb_overflow;
    size_t sb_length;
    unsigned char sb[TELNET_SB_MAX];
};

/* Feeds received bytes; state carries over between calls. */
void telnet_decode(struct telnet_decoder *decoder, const unsigned char *bytes, size_t length,
                   const struct telnet_events *events, void *context);

/* Copies bytes into out with every 0xFF doubled, never splitting a pair.
 * Returns how many input bytes went in; *out_length is the output size. */
size_t telnet_escape(const unsigned char *bytes, size_t length, unsigned char *out,
                     size_t out_size, size_t *out_length);

#endif
