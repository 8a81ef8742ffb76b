#pragma once

#include "PrintedPage.h"

#include <QImage>
#include <QString>

#include <map>
#include <optional>

// The output folder: every printed page is kept as a UTF-8 text file and a
// PNG picture, numbered on from what the folder already holds
// (cheque-0001.txt / .png, document-0001.txt / .png).
class PrintArchive {
public:
    explicit PrintArchive(QString folder);

    bool prepare(QString* error);

    struct Saved {
        QString textPath;
        QString imagePath;
    };
    std::optional<Saved> save(const PrintedPage& page, const QImage& image, QString* error);

    const QString& folder() const { return folder_; }

private:
    int nextNumber(const QString& prefix) const;

    QString folder_;
    std::map<QString, int> next_; // by prefix; 0: not counted yet
};
