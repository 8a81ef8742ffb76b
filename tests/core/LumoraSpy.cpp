#include "LumoraSpy.h"

#include "Lumora.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

namespace {

template <typename F>
F real(const char *name)
{
    void *symbol = dlsym(RTLD_NEXT, name);
    if (!symbol)
        std::abort();
    return reinterpret_cast<F>(symbol);
}

// Calls the library unless the test made this export refuse.
template <typename F>
int32_t record(const char *name, qint64 number, QByteArray bytes, F &&call)
{
    const int32_t result = lumoraRefusing() == name ? 0 : call();
    lumoraCalls().append({name, number, std::move(bytes), result});
    return result;
}

} // namespace

QList<LumoraCall> &lumoraCalls()
{
    static QList<LumoraCall> calls;
    return calls;
}

QByteArray &lumoraRefusing()
{
    static QByteArray name;
    return name;
}

QByteArray lumoraCallSummary()
{
    QByteArrayList names;
    for (const LumoraCall &call : lumoraCalls())
        names.append(call.number < 0 ? call.name : call.name + ':' + QByteArray::number(call.number));
    return names.join(' ');
}

extern "C" {

int32_t Lumora_Abre(int32_t port)
{
    static const auto f = real<int32_t (*)(int32_t)>("Lumora_Abre");
    return record("Lumora_Abre", -1, {}, [&] { return f(port); });
}

int32_t Lumora_Fecha(void)
{
    static const auto f = real<int32_t (*)()>("Lumora_Fecha");
    return record("Lumora_Fecha", -1, {}, [&] { return f(); });
}

int32_t Lumora_Status(int32_t port, uint32_t query)
{
    static const auto f = real<int32_t (*)(int32_t, uint32_t)>("Lumora_Status");
    return record("Lumora_Status", query, {}, [&] { return f(port, query); });
}

int32_t Lumora_CampoCheque(int32_t port, uint32_t field, const char *text)
{
    static const auto f = real<int32_t (*)(int32_t, uint32_t, const char *)>("Lumora_CampoCheque");
    return record("Lumora_CampoCheque", field, text, [&] { return f(port, field, text); });
}

int32_t Lumora_ImprimeCheque(int32_t port)
{
    static const auto f = real<int32_t (*)(int32_t)>("Lumora_ImprimeCheque");
    return record("Lumora_ImprimeCheque", -1, {}, [&] { return f(port); });
}

int32_t Lumora_EnviaBloco(int32_t port, const char *buffer, int32_t length)
{
    static const auto f = real<int32_t (*)(int32_t, const char *, int32_t)>("Lumora_EnviaBloco");
    return record("Lumora_EnviaBloco", -1, QByteArray(buffer, length), [&] { return f(port, buffer, length); });
}

int32_t Lumora_Ejeta(int32_t port)
{
    static const auto f = real<int32_t (*)(int32_t)>("Lumora_Ejeta");
    return record("Lumora_Ejeta", -1, {}, [&] { return f(port); });
}

int32_t Lumora_ProgramaBancos(int32_t port, int32_t bank, const char *layout)
{
    static const auto f = real<int32_t (*)(int32_t, int32_t, const char *)>("Lumora_ProgramaBancos");
    return record("Lumora_ProgramaBancos", bank, layout, [&] { return f(port, bank, layout); });
}

} // extern "C"
