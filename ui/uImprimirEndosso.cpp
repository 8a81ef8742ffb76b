#include "uImprimirEndosso.h"
#include "ui_uImprimirEndosso.h"

#include "uDeclaracoes.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>

namespace {

// One line as the editor shows it: its text and where it ends in the
// document.
struct LinhaExibida {
    QString texto;
    int fim;
};

// The editor's lines as laid out at its width; an empty editor has none.
QList<LinhaExibida> linhasDe(const QPlainTextEdit &editor)
{
    QList<LinhaExibida> linhas;
    const QTextDocument &documento = *editor.document();
    if (documento.isEmpty())
        return linhas;
    for (QTextBlock bloco = documento.begin(); bloco.isValid(); bloco = bloco.next()) {
        // Lays the block out at the editor's width if it is not yet.
        documento.documentLayout()->blockBoundingRect(bloco);
        const QTextLayout &leiaute = *bloco.layout();
        for (int i = 0; i < leiaute.lineCount(); ++i) {
            const QTextLine linha = leiaute.lineAt(i);
            QString texto = bloco.text().mid(linha.textStart(), linha.textLength());
            // A line broken by Shift+Enter holds the separator, which is no
            // text.
            if (texto.endsWith(QChar::LineSeparator))
                texto.chop(1);
            linhas.append({texto, bloco.position() + linha.textStart() + int(texto.size())});
        }
    }
    return linhas;
}

} // namespace

TfrmImprimirEndosso::TfrmImprimirEndosso(const Contexto &contexto, QWidget *parent)
    : JanelaFilha(contexto, parent), ui(std::make_unique<Ui::TfrmImprimirEndosso>())
{
    ui->setupUi(this);
    setFixedSize(size());
    // Closed only: the frame the main window gives it has neither a minimise
    // nor a maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);

    // The printer prints in columns: a fixed pitch shows each line as it
    // will be printed. The editor is as high as the limit's lines.
    QFont letra(QStringLiteral("DejaVu Sans Mono"));
    letra.setStyleHint(QFont::Monospace);
    letra.setPixelSize(13);
    ui->edtEndosso->setFont(letra);
    // A word longer than the line breaks where the line ends, as a line of
    // the editor is a line on the cheque.
    ui->edtEndosso->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    ui->edtEndosso->installEventFilter(this);

    liga(ui->edtEndosso->document(), &QTextDocument::contentsChange,
         [this](int posicao, int, int inseridos) { fimInsercao_ = posicao + inseridos; });
    liga(ui->edtEndosso, &QPlainTextEdit::textChanged, &TfrmImprimirEndosso::limitaTamanho);
    comando(ui->btImprimir, &TfrmImprimirEndosso::btImprimirClick);
    comando(ui->btSair, &TfrmImprimirEndosso::btSairClick);
}

TfrmImprimirEndosso::~TfrmImprimirEndosso() = default;

QStringList TfrmImprimirEndosso::linhasExibidas() const
{
    QStringList textos;
    for (const LinhaExibida &linha : linhasDe(*ui->edtEndosso))
        textos.append(linha.texto);
    return textos;
}

bool TfrmImprimirEndosso::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == ui->edtEndosso && evento->type() == QEvent::KeyPress) {
        bool descarta = false;
        executaProtegido([this, &descarta] { descarta = LimitaLinhas(); });
        if (descarta)
            return true;
    }
    return JanelaFilha::eventFilter(objeto, evento);
}

void TfrmImprimirEndosso::keyPressEvent(QKeyEvent *evento)
{
    if (evento->key() == Qt::Key_Escape)
        ui->btSair->click();
    else
        JanelaFilha::keyPressEvent(evento);
}

bool TfrmImprimirEndosso::LimitaLinhas()
{
    const QList<LinhaExibida> linhas = linhasDe(*ui->edtEndosso);
    if (linhas.size() <= MaxLinhas)
        return false;
    QTextCursor excesso(ui->edtEndosso->document());
    excesso.setPosition(linhas[MaxLinhas - 1].fim);
    excesso.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    excesso.removeSelectedText();
    mostra(QStringLiteral("O número de linhas por cheque não pode ultrapassar 20 linhas"));
    return true;
}

void TfrmImprimirEndosso::limitaTamanho()
{
    const int tamanho = ui->edtEndosso->document()->characterCount() - 1;
    const int excesso = tamanho - MaxCaracteres;
    if (excesso <= 0)
        return;
    const int fim = std::min(fimInsercao_, tamanho);
    QTextCursor corte(ui->edtEndosso->document());
    corte.setPosition(std::max(0, fim - excesso));
    corte.setPosition(fim, QTextCursor::KeepAnchor);
    corte.removeSelectedText();
}

void TfrmImprimirEndosso::ImprimeEndosso()
{
    // A 21st line that no key has removed yet is printed too.
    const QStringList linhas = linhasExibidas().mid(0, MaxLinhas + 1);
    bool enviado = false;
    {
        PrinterSession impressora(contexto().portaCOM);
        if (!impressora.isOpen()) {
            mostra(QStringLiteral("Não foi possível abrir a porta serial"));
            return;
        }
        // The first refusal stops the job: the cheque stays in the printer.
        // A refused eject fails it too, as the cheque was not released.
        enviado = std::all_of(linhas.begin(), linhas.end(),
                              [&impressora](const QString &linha) {
                                  return impressora.sendLine(QStringLiteral("     ") + linha);
                              })
                  && impressora.eject();
    }
    if (enviado)
        mostra(QStringLiteral("Comando enviado para Impressora"));
    else
        mostra(QStringLiteral("Não foi possível enviar o comando pela porta serial.\n"
                              "Verifique se a porta de comunicação está disponível e tente novamente."));
}

void TfrmImprimirEndosso::btImprimirClick()
{
    ImprimeEndosso();
}

void TfrmImprimirEndosso::btSairClick()
{
    if (pergunta(QStringLiteral("Deseja realmente sair?")))
        close();
}
