#include "UiTest.h"

#include "QtMessagePresenter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

namespace {

struct CaixaVista {
    QString titulo;
    QString texto;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    QStringList botoes;
};

// Looks at the box once it is up, then presses the button whose caption,
// without its accelerator mark, is botao.
void respondeCaixa(CaixaVista &vista, const QString &botao)
{
    QTimer::singleShot(0, [&vista, botao] {
        auto *caixa = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!caixa) {
            respondeCaixa(vista, botao);
            return;
        }
        vista.titulo = caixa->windowTitle();
        vista.texto = caixa->text();
        vista.icone = caixa->icon();
        QAbstractButton *alvo = nullptr;
        for (QAbstractButton *b : caixa->buttons()) {
            const QString texto = b->text().remove(QLatin1Char('&'));
            vista.botoes.append(texto);
            if (texto == botao)
                alvo = b;
        }
        if (alvo)
            alvo->click();
        else
            caixa->reject();
    });
}

} // namespace

class TestMensagens : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { VERIFICA_SEM_JANELAS(); }

    void noticeHasOkAndItsIcon();
    void questionInPortuguese_data();
    void questionInPortuguese();
    void questionWithCancel_data();
    void questionWithCancel();
};

void TestMensagens::noticeHasOkAndItsIcon()
{
    QtMessagePresenter caixas;
    QCOMPARE(&messages(), static_cast<MessagePresenter *>(&caixas));
    CaixaVista vista;
    respondeCaixa(vista, QStringLiteral("OK"));
    messages().show(QStringLiteral("Erro"), QStringLiteral("Primeira linha.\nSegunda <b>linha</b>."),
                    MessagePresenter::Icon::Error);
    QCOMPARE(vista.titulo, QStringLiteral("Erro"));
    QCOMPARE(vista.texto, QStringLiteral("Primeira linha.\nSegunda <b>linha</b>."));
    QCOMPARE(vista.icone, QMessageBox::Critical);
    QCOMPARE(vista.botoes, QStringList{"OK"});
}

void TestMensagens::questionInPortuguese_data()
{
    QTest::addColumn<QString>("botao");
    QTest::addColumn<bool>("resposta");
    QTest::newRow("Sim") << "Sim" << true;
    QTest::newRow("Não") << "Não" << false;
}

void TestMensagens::questionInPortuguese()
{
    QFETCH(QString, botao);
    QFETCH(bool, resposta);
    QtMessagePresenter caixas;
    CaixaVista vista;
    respondeCaixa(vista, botao);
    QCOMPARE(messages().ask(QStringLiteral("Norvel Cheque"), QStringLiteral("Você tem certeza que deseja sair?")),
             resposta);
    QCOMPARE(vista.icone, QMessageBox::Question);
    QCOMPARE(vista.texto, QStringLiteral("Você tem certeza que deseja sair?"));
    QCOMPARE(vista.botoes, (QStringList{"Sim", "Não"}));
}

void TestMensagens::questionWithCancel_data()
{
    QTest::addColumn<QString>("botao");
    QTest::addColumn<MessagePresenter::Answer>("resposta");
    QTest::newRow("Sim") << "Sim" << MessagePresenter::Answer::Yes;
    QTest::newRow("Não") << "Não" << MessagePresenter::Answer::No;
    QTest::newRow("Cancelar") << "Cancelar" << MessagePresenter::Answer::Cancel;
    QTest::newRow("Esc") << "" << MessagePresenter::Answer::Cancel;
}

void TestMensagens::questionWithCancel()
{
    QFETCH(QString, botao);
    QFETCH(MessagePresenter::Answer, resposta);
    QtMessagePresenter caixas;
    CaixaVista vista;
    respondeCaixa(vista, botao);
    QCOMPARE(messages().askYesNoCancel(QStringLiteral("Imprimir próxima parcela?"), QStringLiteral("Posicione.")),
             resposta);
    QCOMPARE(vista.titulo, QStringLiteral("Imprimir próxima parcela?"));
    QCOMPARE(vista.icone, QMessageBox::Question);
    vista.botoes.sort();
    QCOMPARE(vista.botoes, (QStringList{"Cancelar", "Não", "Sim"}));
}

NORVEL_UI_TEST_MAIN(TestMensagens)
#include "test_mensagens.moc"
