#pragma once

#include "ChequeLayout.h"

#include <QString>

#include <map>
#include <optional>

// The bank layouts the printer holds, kept in a file so that they survive a
// restart the way a real printer keeps them in its non-volatile memory.
// One line per bank: the three-digit bank number, "=", the 36 digits.
class LayoutStore {
public:
    explicit LayoutStore(QString filePath);

    // Reads the file if it exists. Returns false with a reason when it cannot
    // be read; lines that do not parse are skipped and counted.
    bool load(QString* error, int* skippedLines = nullptr);

    // Stores the layout and rewrites the file; the layout stays held in memory
    // even when writing fails.
    bool put(int bank, const ChequeLayout& layout, QString* error);

    std::optional<ChequeLayout> find(int bank) const;
    std::size_t size() const { return layouts_.size(); }
    const QString& filePath() const { return path_; }

private:
    bool save(QString* error) const;

    QString path_;
    std::map<int, ChequeLayout> layouts_;
};
