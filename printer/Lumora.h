/*
 * Lumora - link to the serial cheque printer.
 *
 * One connection per process, kept in module-wide state: no handle crosses
 * this interface. Every call returns 1 for success and 0 for failure (except
 * Lumora_RecebeByte and Lumora_UltimoErro) and records its outcome in the
 * last-error code read by Lumora_UltimoErro.
 *
 * Texts are zero-terminated single-byte strings owned by the caller; the
 * library only reads them and copies what it keeps.
 *
 * Threads: the state is unguarded. Call the library from one thread at a time.
 *
 * Port numbers name the device through the port map (see README.md): the
 * INI file in $LUMORA_PORTAS, else $XDG_CONFIG_HOME/lumora/portas.ini, else
 * /etc/lumora/portas.ini, section [Portas], keys COM1..COM255, values a
 * device path or rfc2217://host:port. Unmapped ports are /dev/ttyS<n-1>.
 */
#ifndef LUMORA_H
#define LUMORA_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(LUMORA_BUILDING)
#define LUMORA_API __attribute__((visibility("default")))
#else
#define LUMORA_API
#endif

/* Last-error codes. */
enum {
    LUMORA_OK = 0,
    LUMORA_ERR_PORTA = 1,       /* no connection, or open/configure failed */
    LUMORA_ERR_ESCRITA = 2,     /* write failed */
    LUMORA_ERR_LEITURA = 3,     /* read failed */
    LUMORA_ERR_TEMPO_ESCRITA = 4, /* write timed out */
    LUMORA_ERR_TEMPO_LEITURA = 5, /* read timed out */
    LUMORA_ERR_ARGUMENTO = 6,   /* argument out of range */
    LUMORA_ERR_INDISPONIVEL = 9, /* function not available in this library */
    LUMORA_ERR_NAO_SUPORTADO = 10 /* value recognised but not supported */
};

/* Cheque fields of Lumora_CampoCheque. */
enum {
    LUMORA_CAMPO_FAVORECIDO = 0, /* ESC "F" text "$" */
    LUMORA_CAMPO_CIDADE = 1,     /* ESC "C" text "$" */
    LUMORA_CAMPO_BANCO = 2,      /* ESC "B" text */
    LUMORA_CAMPO_VALOR = 3,      /* ESC "V" text "$", held until Lumora_ImprimeCheque */
    LUMORA_CAMPO_DATA = 4        /* ESC "D" DDMMYY */
};

/* Link. */
LUMORA_API int32_t Lumora_Abre(int32_t port);
LUMORA_API int32_t Lumora_AbreEX(int32_t port, int32_t baud, int32_t parity,
                                 int32_t databits, float stopbits);
LUMORA_API int32_t Lumora_Fecha(void);
LUMORA_API int32_t Lumora_EnviaBloco(int32_t port, const char *buffer, int32_t length);
LUMORA_API int32_t Lumora_EnviaByte(int32_t port, int32_t value);
LUMORA_API int32_t Lumora_HaByte(void);
LUMORA_API int32_t Lumora_RecebeByte(void);   /* 0..255, or 256 for no byte */
LUMORA_API int32_t Lumora_UltimoErro(void);

/* Printer commands. */
LUMORA_API int32_t Lumora_Status(int32_t port, uint32_t query);
LUMORA_API int32_t Lumora_ProgramaBancos(int32_t port, int32_t bank, const char *layout);
LUMORA_API int32_t Lumora_Ejeta(int32_t port);
LUMORA_API int32_t Lumora_CampoCheque(int32_t port, uint32_t field, const char *text);
LUMORA_API int32_t Lumora_CampoChequePermanente(int32_t port, uint32_t field, const char *text);
LUMORA_API int32_t Lumora_ImprimeCheque(int32_t port);

/* Reading functions: not available; always 0 with code 9. */
LUMORA_API int32_t Lumora_IniciaLeitura(void);
LUMORA_API int32_t Lumora_Leitura(void);
LUMORA_API int32_t Lumora_FinalizaLeitura(void);
LUMORA_API int32_t Lumora_SolicitaLeitura(void);

#ifdef __cplusplus
}
#endif

#endif
