/* Printer command exports: status lines, cheque fields, print, eject, bank
 * layouts, and the reading functions this printer does not offer. */
#include <stdio.h>
#include <string.h>

#include "Lumora.h"
#include "module_state.h"

#define LAYOUT_LENGTH 36
#define LAYOUT_FRAME_SIZE 42

static struct lumora_outcome failed(int32_t error)
{
    return lumora_outcome(0, error);
}

/* A query that cannot read the lines leaves the code as it was, unless the
 * link is gone: the lines it reported before no longer hold, so it fails
 * with code 1, or keeps the code of the send or read that found the link
 * gone first (a failed send keeps its 2). */
static struct lumora_outcome unreadable(struct lumora_port *port)
{
    int32_t code = lumora.last_error;
    int link_failure = code >= LUMORA_ERR_ESCRITA && code <= LUMORA_ERR_TEMPO_LEITURA;
    if (port->ops->lost(port) && !link_failure)
        return failed(LUMORA_ERR_PORTA);
    return lumora_outcome(0, LUMORA_KEEP_ERROR);
}

/* A successful query leaves the code as it was. */
static struct lumora_outcome status(uint32_t query)
{
    struct lumora_port *port = lumora.port;
    if (!port)
        return failed(LUMORA_ERR_PORTA);
    if (query > 7)
        return failed(LUMORA_ERR_ARGUMENTO);
    if (query >= 4)
        return failed(LUMORA_ERR_NAO_SUPORTADO);
    unsigned flags;
    if (query == 1) {
        if (port->ops->line_errors(port, &flags) != 0)
            return unreadable(port);
        return lumora_outcome((flags & LUMORA_LINE_ERROR_TX_FULL) != 0, LUMORA_KEEP_ERROR);
    }
    if (port->ops->modem_lines(port, &flags) != 0)
        return unreadable(port);
    int32_t result = query == 0 ? (flags & LUMORA_LINE_DSR) != 0
                   : query == 2 ? (flags & LUMORA_LINE_CTS) == 0
                                : (flags & LUMORA_LINE_DSR) == 0;
    return lumora_outcome(result, LUMORA_KEEP_ERROR);
}

int32_t Lumora_Status(int32_t port, uint32_t query)
{
    (void)port;
    return lumora_leave(status(query));
}

static struct lumora_outcome program_bank(int32_t bank, const char *layout)
{
    if (!lumora.port)
        return failed(LUMORA_ERR_PORTA);
    if (bank < 0 || bank > 999)
        return failed(LUMORA_ERR_ARGUMENTO);
    if (!layout || strnlen(layout, LAYOUT_LENGTH + 1) != LAYOUT_LENGTH)
        return failed(LUMORA_ERR_ARGUMENTO);
    /* ESC 'L', three digits, the layout and its terminator: 42 bytes. */
    char frame[LAYOUT_FRAME_SIZE + 1] = { 0 };
    snprintf(frame, sizeof frame, "\x1BL%03d%s", (int)bank, layout);
    return lumora_send(frame, LAYOUT_FRAME_SIZE);
}

int32_t Lumora_ProgramaBancos(int32_t port, int32_t bank, const char *layout)
{
    (void)port;
    return lumora_leave(program_bank(bank, layout));
}

static struct lumora_outcome eject(void)
{
    if (!lumora.port)
        return failed(LUMORA_ERR_PORTA);
    return lumora_send("\x0C", 1);
}

int32_t Lumora_Ejeta(int32_t port)
{
    (void)port;
    return lumora_leave(eject());
}

static struct lumora_outcome cheque_field(uint32_t field, const char *text)
{
    static const struct { char letter; const char *end; } frames[] = {
        [LUMORA_CAMPO_FAVORECIDO] = { 'F', "$" },
        [LUMORA_CAMPO_CIDADE] = { 'C', "$" },
        [LUMORA_CAMPO_BANCO] = { 'B', "" },
        [LUMORA_CAMPO_VALOR] = { 'V', "$" },
        [LUMORA_CAMPO_DATA] = { 'D', "" },
    };
    if (!lumora.port)
        return failed(LUMORA_ERR_PORTA);
    if (field == 5 || field == 6)
        return failed(LUMORA_ERR_NAO_SUPORTADO);
    if (field > LUMORA_CAMPO_DATA)
        return failed(LUMORA_ERR_ARGUMENTO);
    if (!text)
        return failed(LUMORA_ERR_ARGUMENTO);

    /* A frame that would not fit is refused whole, so neither the printer
     * nor the held amount ever sees a cut field. */
    size_t room = LUMORA_FRAME_SIZE - 2 - strlen(frames[field].end) - 1;
    size_t length = strnlen(text, room + 1);
    if (length > room)
        return failed(LUMORA_ERR_ARGUMENTO);

    char frame[LUMORA_FRAME_SIZE] = { 0 };
    int frame_length = snprintf(frame, sizeof frame, "\x1B%c%s%s", frames[field].letter,
                                text, frames[field].end);
    if (field == LUMORA_CAMPO_VALOR) {
        memcpy(lumora.pending_frame, frame, sizeof frame);
        return lumora_outcome(1, LUMORA_OK);
    }
    return lumora_send(frame, frame_length);
}

int32_t Lumora_CampoCheque(int32_t port, uint32_t field, const char *text)
{
    (void)port;
    return lumora_leave(cheque_field(field, text));
}

int32_t Lumora_CampoChequePermanente(int32_t port, uint32_t field, const char *text)
{
    (void)port;
    return lumora_leave(cheque_field(field, text));
}

int32_t Lumora_ImprimeCheque(int32_t port)
{
    (void)port;
    return lumora_leave(lumora_send(lumora.pending_frame,
                                    (int32_t)strnlen(lumora.pending_frame, LUMORA_FRAME_SIZE)));
}

static int32_t not_available(void)
{
    return lumora_leave(failed(LUMORA_ERR_INDISPONIVEL));
}

int32_t Lumora_IniciaLeitura(void) { return not_available(); }
int32_t Lumora_Leitura(void) { return not_available(); }
int32_t Lumora_FinalizaLeitura(void) { return not_available(); }
int32_t Lumora_SolicitaLeitura(void) { return not_available(); }
