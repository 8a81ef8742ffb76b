#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// A settings file in the key-value format with sections, read anew at every
// call. Section and key names match without regard to case, the first of
// repeated keys counts, and a value in double quotes loses them, as the
// office's earlier system read these files. Writing changes only the lines
// of the keys written and keeps comments and every other line as they were.
class ArquivoIni {
public:
    explicit ArquivoIni(QString caminho) : caminho_(std::move(caminho)) {}

    const QString &caminho() const { return caminho_; }

    QString le(const QString &secao, const QString &chave, const QString &padrao = {}) const;
    // Keys assigned in secao, in file order (repeated ones repeated).
    QStringList chaves(const QString &secao) const;

    using Valores = QList<QPair<QString, QString>>;
    // Writes the values into secao at once, making the folder and the file
    // when missing. Throws std::runtime_error when the file cannot be written.
    void grava(const QString &secao, const Valores &valores) const;

private:
    QString caminho_;
};
