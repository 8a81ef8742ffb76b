/* Line settings taken from a mode string such as
 * "baud=9600 parity=N data=8 stop=2". A setting the string leaves out or
 * gives a value for that cannot be read stays as the port had it. */
#ifndef LUMORA_LINE_SETTINGS_H
#define LUMORA_LINE_SETTINGS_H

enum lumora_stop_bits {
    LUMORA_STOP_KEEP = 0,
    LUMORA_STOP_1,
    LUMORA_STOP_1_5,
    LUMORA_STOP_2
};

struct lumora_line_settings {
    long baud;      /* 0: keep */
    char parity;    /* 'N', 'E', 'O', 'M', 'S'; 0: keep */
    int data_bits;  /* 5..8; 0: keep */
    enum lumora_stop_bits stop_bits;
};

void lumora_line_settings_parse(const char *mode, struct lumora_line_settings *out);

#endif
