#pragma once

#include <QByteArray>
#include <QString>

// The printer's character set. Every text the program sends to the printer
// passes through here on its way out.
//
// Each character becomes one byte: ASCII and Latin-1 as themselves, the
// typographic characters of 0x80-0x9F by the Windows-1252 table. A character
// the set cannot hold becomes "?", and so does NUL, which would end a
// zero-terminated field text early; one "?" per character, also for
// characters outside the Basic Multilingual Plane.
QByteArray toWindows1252(const QString &text);
