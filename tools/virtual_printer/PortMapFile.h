#pragma once

#include <QString>

// Writes one entry of the printer library's port map: section [Portas],
// key COMn, value a device path or rfc2217://host:port. The rest of the file
// (other sections, other ports, comments) is kept as it was.
bool writePortMapEntry(const QString& filePath, const QString& portName, const QString& address, QString* error);

// Only COM1 to COM255 name a port.
bool isPortName(const QString& name);
