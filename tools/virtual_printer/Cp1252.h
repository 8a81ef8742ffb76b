#pragma once

#include <QString>

#include <string_view>

// Decodes text as the printer's character set prints it: Windows-1252, except
// that 0xA6 prints as the ordinal sign "ª".
QString decodePrinterText(std::string_view bytes);
