#include "module_state.h"

struct lumora_module lumora = {
    .port = 0,
    .last_error = 0,
    .read_timeout_ms = 20000,
};

int32_t lumora_leave(struct lumora_outcome outcome)
{
    if (outcome.error != LUMORA_KEEP_ERROR)
        lumora.last_error = outcome.error;
    return outcome.result;
}
