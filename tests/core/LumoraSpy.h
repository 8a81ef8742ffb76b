#pragma once

#include <QByteArray>
#include <QList>

// Records the library calls the program makes, then lets the real library
// answer: the test executable's own definitions of these exports take the
// program's calls and forward them to liblumora (found with RTLD_NEXT).
struct LumoraCall {
    QByteArray name;      // "Lumora_Status"
    qint64 number = -1;   // query, field or bank; -1 when the call has none
    QByteArray bytes;     // text or block sent
    int result = 0;
};

QList<LumoraCall> &lumoraCalls();
// Name of an export the spy answers with 0 itself, as when the link fails,
// instead of asking the library; empty for none.
QByteArray &lumoraRefusing();
// The calls' names in order, e.g. "Lumora_Abre Lumora_Status:0 Lumora_Fecha".
QByteArray lumoraCallSummary();
