#include "telnet_codec.h"

enum { ST_DATA, ST_IAC, ST_VERB, ST_SB, ST_SB_IAC };

static void sb_put(struct telnet_decoder *d, unsigned char b)
{
    if (d->sb_length < TELNET_SB_MAX)
        d->sb[d->sb_length++] = b;
    else
        d->sb_overflow = 1;
}

static void after_iac(struct telnet_decoder *d, unsigned char b,
                      const struct telnet_events *ev, void *ctx)
{
    if (b == TELNET_IAC) {
        ev->data(ctx, b);
        d->state = ST_DATA;
    } else if (b >= TELNET_WILL && b <= TELNET_DONT) {
        d->verb = b;
        d->state = ST_VERB;
    } else if (b == TELNET_SB) {
        d->sb_length = 0;
        d->sb_overflow = 0;
        d->state = ST_SB;
    } else {
        /* NOP, GA, a stray SE and the like carry nothing for us. */
        d->state = ST_DATA;
    }
}

void telnet_decode(struct telnet_decoder *d, const unsigned char *bytes, size_t length,
                   const struct telnet_events *ev, void *ctx)
{
    for (size_t i = 0; i < length; i++) {
        unsigned char b = bytes[i];
        switch (d->state) {
        case ST_DATA:
            if (b == TELNET_IAC)
                d->state = ST_IAC;
            else
                ev->data(ctx, b);
            break;
        case ST_IAC:
            after_iac(d, b, ev, ctx);
            break;
        case ST_VERB:
            ev->negotiation(ctx, d->verb, b);
            d->state = ST_DATA;
            break;
        case ST_SB:
            if (b == TELNET_IAC)
                d->state = ST_SB_IAC;
            else
                sb_put(d, b);
            break;
        case ST_SB_IAC:
            if (b == TELNET_IAC) {
                sb_put(d, b);
                d->state = ST_SB;
            } else if (b == TELNET_SE) {
                if (!d->sb_overflow && d->sb_length > 0)
                    ev->subnegotiation(ctx, d->sb, d->sb_length);
                d->state = ST_DATA;
            } else {
                /* A command inside a subnegotiation ends it unfinished. */
                after_iac(d, b, ev, ctx);
            }
            break;
        }
    }
}

size_t telnet_escape(const unsigned char *bytes, size_t length, unsigned char *out,
                     size_t out_size, size_t *out_length)
{
    size_t in = 0, o = 0;
    while (in < length) {
        size_t need = bytes[in] == TELNET_IAC ? 2 : 1;
        if (o + need > out_size)
            break;
        out[o++] = bytes[in];
        if (need == 2)
            out[o++] = TELNET_IAC;
        in++;
    }
    *out_length = o;
    return in;
}
