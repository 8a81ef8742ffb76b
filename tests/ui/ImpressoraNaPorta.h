#pragma once

// The virtual printer as a child process, reached by the program's print
// jobs as COM7 through a port map of the test's own, with the layout of the
// given banks already programmed.

#include "VirtualPrinterProcess.h"
#include "uDeclaracoes.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class ImpressoraNaPorta {
public:
    static constexpr int Porta = 7;
    static inline const QString Leiaute = QStringLiteral("016080050880060180070180125247546075");

    explicit ImpressoraNaPorta(const QList<int> &bancos)
        : processo_(std::make_unique<VirtualPrinterProcess>(VIRTUAL_PRINTER))
    {
        QFile mapa(mapa_.filePath(QStringLiteral("portas.ini")));
        if (mapa.open(QIODevice::WriteOnly))
            mapa.write(QStringLiteral("[Portas]\nCOM%1=%2\n")
                           .arg(Porta)
                           .arg(QString::fromStdString(processo_->url()))
                           .toUtf8());
        mapa.close();
        qputenv("LUMORA_PORTAS", mapa.fileName().toLocal8Bit());
        PrinterSession sessao(Porta);
        for (int banco : bancos)
            sessao.programBankLayout(banco, Leiaute);
    }

    void liga(bool ligada) { processo_->control(ligada ? "power on" : "power off"); }

    // The printed pages' texts so far, cheques or documents, in order.
    QStringList paginas(const QString &tipo) const
    {
        QStringList textos;
        const QDir pasta(QString::fromStdString(processo_->outDir()));
        for (const QString &nome : pasta.entryList({tipo + QStringLiteral("-*.txt")}, QDir::Files, QDir::Name)) {
            QFile arquivo(pasta.filePath(nome));
            if (arquivo.open(QIODevice::ReadOnly))
                textos.append(QString::fromUtf8(arquivo.readAll()));
        }
        return textos;
    }
    // The text of page number n (1, 2, ...) of the kind, waiting for it.
    QString pagina(const QString &tipo, int n) const
    {
        return QString::fromStdString(
            processo_->page(QStringLiteral("%1-%2.txt").arg(tipo).arg(n, 4, 10, QLatin1Char('0')).toStdString()));
    }

private:
    QTemporaryDir mapa_;
    std::unique_ptr<VirtualPrinterProcess> processo_;
};
