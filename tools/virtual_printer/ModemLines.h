#pragma once

// The printer's modem output lines as the far end of the cable sees them.
struct ModemLines {
    bool dsr = false; // powered on
    bool cts = false; // ready: powered, paper in, not busy
    bool cd = false;
    bool ri = false;

    bool operator==(const ModemLines&) const = default;
};
