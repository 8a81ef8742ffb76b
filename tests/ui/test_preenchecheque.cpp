// The single-cheque entry window driven by its control names on a fresh
// database, printing on the virtual printer as COM7.

#include "CaixaBusca.h"
#include "CaixaValor.h"
#include "DataLonga.h"
#include "ImpressoraNaPorta.h"
#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uDMNorvelCheque.h"
#include "uFavorecido.h"
#include "uPreencheCheque.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

#include <memory>

namespace {

const QString Sucesso = QStringLiteral("Comando enviado para impressora com sucesso !\n"
                                       "Para efetuar o cancelamento do cheque utilize o menu: "
                                       "\"Consultar->Cheque Avulso...\"");

} // namespace

class TestPreencheCheque : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void aparencia();
    void teclasValorEBanco();
    void semNumeroNaoHaBanco();
    void valorDeQuatorzeDigitos();
    void campoObrigatorio_data();
    void campoObrigatorio();
    void semFavorecidoNemEscolhas();
    void chequeImpressoChegaNaPagina();
    void jaImpressoEImpressoraDesligada();
    void novoBaseComAsDuasRespostas();
    void novoEsair();
    void copiaECadastros();

private:
    template <typename T> T *controle(const char *nome);
    QLineEdit *caixa(const char *nome) { return controle<QLineEdit>(nome); }
    void clica(const char *botao);
    // Types text into a box and leaves it with Tab.
    void digita(const char *nome, const QString &texto);
    // The bank by its number, then agency, account and value; the city is
    // the default one.
    void preenche(const QString &valor = QStringLiteral("123456"));
    QList<RegistroCheque> chequesDeHoje();

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<ImpressoraNaPorta> impressora_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_{ImpressoraNaPorta::Porta, QStringLiteral("São Paulo")};
    TfrmPreencherCheque *janela_ = nullptr;
};

void TestPreencheCheque::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
    contexto_.dados = dm_.get();
    for (const auto &[numero, nome] : {std::pair{"237", "Bradesco"}, {"023", "Banco Vinte e Três"}}) {
        const WriteResult r = dm_->insereBanco({0, QLatin1String(numero), QString::fromUtf8(nome), QStringLiteral("B"),
                                                ImpressoraNaPorta::Leiaute},
                                               QString());
        QVERIFY2(r, qPrintable(r.message));
    }
    impressora_ = std::make_unique<ImpressoraNaPorta>(QList<int>{237, 23});
}

void TestPreencheCheque::cleanupTestCase()
{
    impressora_.reset();
    dm_.reset();
    base_.reset();
}

void TestPreencheCheque::init()
{
    caixas_ = std::make_unique<RecordingPresenter>();
    impressora_->liga(true);
    dm_->FiltroBanco.clear();
    dm_->ListaBancos2.reopen();
    janela_ = new TfrmPreencherCheque(contexto_);
    janela_->show();
    if (!QTest::qWaitForWindowActive(janela_))
        qWarning("window not active: the leave rules will not run");
}

void TestPreencheCheque::cleanup()
{
    if (janela_)
        janela_->close();
    janela_ = nullptr;
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

template <typename T> T *TestPreencheCheque::controle(const char *nome)
{
    T *achado = janela_->findChild<T *>(QLatin1String(nome));
    if (!achado)
        qWarning("no control %s", nome);
    return achado;
}

void TestPreencheCheque::clica(const char *botao)
{
    QAbstractButton *bt = controle<QAbstractButton>(botao);
    QVERIFY(bt);
    QVERIFY2(bt->isEnabled(), botao);
    QTest::mouseMove(bt);
    QTest::mouseClick(bt, Qt::LeftButton);
}

void TestPreencheCheque::digita(const char *nome, const QString &texto)
{
    QWidget *box = controle<QWidget>(nome);
    box->setFocus(Qt::TabFocusReason);
    for (const QChar letra : texto) {
        // keyClicks cannot type accented letters: send what a keyboard sends.
        QKeyEvent aperta(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letra));
        QKeyEvent solta(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(letra));
        QApplication::sendEvent(box, &aperta);
        QApplication::sendEvent(box, &solta);
    }
    QTest::keyClick(box, Qt::Key_Tab);
}

void TestPreencheCheque::preenche(const QString &valor)
{
    digita("edtNumBanco", QStringLiteral("237"));
    QTest::keyClick(controle<QWidget>("edtBanco"), Qt::Key_Tab);
    digita("edtValor", valor);
    digita("edtAgencia", QStringLiteral("1234"));
    digita("edtConta", QStringLiteral("56789-0"));
}

QList<RegistroCheque> TestPreencheCheque::chequesDeHoje()
{
    dm_->ConsultaChequesData.setParam(0, QDate::currentDate());
    dm_->ConsultaChequesData.reopen();
    QList<RegistroCheque> cheques;
    for (int linha = 0; linha < dm_->ConsultaChequesData.rowCount(); ++linha)
        cheques.append(TdmNorvelCheque::chequeDaLinha(dm_->ConsultaChequesData, linha));
    return cheques;
}

void TestPreencheCheque::aparencia()
{
    QCOMPARE(janela_->windowTitle(), QStringLiteral("Preenchimento de Cheque"));
    QCOMPARE(janela_->size(), QSize(734, 449));
    QCOMPARE(janela_->minimumSize(), janela_->maximumSize());

    const struct {
        const char *nome;
        int limite;
        const char *dica;
    } caixas[] = {
        {"edtNumBanco", 3, "Núm. do Banco"}, {"edtValor", 14, "Valor com 2 casas decimais"},
        {"edtAgencia", 10, "Num. Agencia"},  {"edtConta", 10, "Conta Corrente"},
        {"edtNumCheque", 10, "Num. Cheque"}, {"edtCidade", 20, "Cidade"},
        {"edtDescricao", 110, "Breve descrição do propósito do cheque"},
    };
    for (const auto &c : caixas) {
        QCOMPARE(caixa(c.nome)->maxLength(), c.limite);
        QCOMPARE(caixa(c.nome)->placeholderText(), QString::fromUtf8(c.dica));
    }
    const QList<std::pair<const char *, const char *>> textos = {
        {"btImprimir", "Imprimir"}, {"btImprimirCopia", "Imprimir Cópia"}, {"btNovoCheque", "Novo"},
        {"btSair", "Sair"},         {"btBaseAntigo", "Novo Base"},         {"chkJaImpresso", "Já Impresso"},
        {"chkChequeTerceiro", "Cheque de Terceiro"}};
    for (const auto &[nome, texto] : textos)
        QCOMPARE(controle<QAbstractButton>(nome)->text(), QString::fromUtf8(texto));
    QCOMPARE(controle<QToolButton>("ToolButton3")->toolTip(), QStringLiteral("Cadastrar Tipo Compensação"));
    for (const char *rotulo : {"Núm. do Banco:", "Banco:", "Agencia:", "Conta:", "Cheque Nº:",
                               "Pago por este cheque a quantia de", "Descrição:", "Centro de Custo:",
                               "Tipo de Compensação:"}) {
        bool achado = false;
        for (const QLabel *l : janela_->findChildren<QLabel *>())
            achado = achado || (l->text() == QString::fromUtf8(rotulo) && l->isVisible());
        QVERIFY2(achado, rotulo);
    }

    // The tab order of the Part, boxes inside compound controls aside.
    const char *ordem[] = {"edtNumBanco", "edtBanco", "edtValor", "edtAgencia", "edtConta", "edtNumCheque",
                           "edtNomeFavorecido", "ToolButton1", "edtCidade", "dtpDataCheque", "edtDescricao",
                           "edtCentroCusto", "ToolButton2", "edtTipoCompensacao", "ToolButton3",
                           "chkChequeTerceiro", "chkJaImpresso", "dtpDataImpressao", "btImprimir",
                           "btImprimirCopia", "btNovoCheque", "btSair", "btBaseAntigo"};
    QWidget *atual = controle<QWidget>(ordem[0]);
    for (const char *proximo : ordem) {
        if (atual->objectName() == QLatin1String(proximo))
            continue;
        QWidget *seguinte = atual->nextInFocusChain();
        while (!(seguinte->focusPolicy() & Qt::TabFocus) || seguinte->objectName().isEmpty()
               || seguinte->objectName().startsWith(QLatin1String("qt_")))
            seguinte = seguinte->nextInFocusChain();
        QCOMPARE(seguinte->objectName(), QLatin1String(proximo));
        atual = seguinte;
    }

    // A new window: editing, the default city, the words cleared.
    QVERIFY(controle<QPushButton>("btImprimir")->isEnabled());
    QVERIFY(!controle<QPushButton>("btImprimirCopia")->isEnabled());
    QVERIFY(!controle<QPushButton>("btBaseAntigo")->isEnabled());
    QVERIFY(!controle<QWidget>("dtpDataImpressao")->isVisible());
    QCOMPARE(caixa("edtCidade")->text(), QStringLiteral("São Paulo"));
    QCOMPARE(controle<QLabel>("lblValorPorExtenso")->text(), QString(200, u'_'));
    QCOMPARE(controle<DataLonga>("dtpDataCheque")->date(), QDate::currentDate());
    QCOMPARE(controle<CaixaBusca>("edtNomeFavorecido")->currentIndex(), -1);
    clica("chkJaImpresso");
    QVERIFY(controle<QWidget>("dtpDataImpressao")->isVisible());
    clica("chkJaImpresso");
    QVERIFY(!controle<QWidget>("dtpDataImpressao")->isVisible());
}

void TestPreencheCheque::teclasValorEBanco()
{
    // Comma and letters do not type in the value; leaving formats it.
    digita("edtValor", QStringLiteral("1,a5"));
    QCOMPARE(caixa("edtValor")->text(), QStringLiteral("0,15"));
    QCOMPARE(controle<QLabel>("lblValorPorExtenso")->text(),
             QString::fromStdString(Money::fromCentavos(15).extenso()));
    for (const auto &[digitado, formatado] : {std::pair{"5", "0,05"}, {"45", "0,45"}, {"12345", "123,45"}}) {
        caixa("edtValor")->clear();
        digita("edtValor", QLatin1String(digitado));
        QCOMPARE(caixa("edtValor")->text(), QLatin1String(formatado));
    }
    // Leaving again changes nothing.
    digita("edtValor", QString());
    QCOMPARE(caixa("edtValor")->text(), QStringLiteral("123,45"));

    // The hyphen only in the account.
    digita("edtConta", QStringLiteral("12-3x"));
    QCOMPARE(caixa("edtConta")->text(), QStringLiteral("12-3"));
    for (const char *nome : {"edtAgencia", "edtNumCheque", "edtNumBanco"}) {
        digita(nome, QStringLiteral("1-a2"));
        QCOMPARE(caixa(nome)->text(), QStringLiteral("12"));
        caixa(nome)->clear();
    }

    // 23, then Tab through the bank name, completes the number.
    digita("edtNumBanco", QStringLiteral("23"));
    QCOMPARE(controle<CaixaBusca>("edtBanco")->currentText(), QStringLiteral("Bradesco"));
    QTest::keyClick(controle<QWidget>("edtBanco"), Qt::Key_Tab);
    QCOMPARE(caixa("edtNumBanco")->text(), QStringLiteral("237"));
}

void TestPreencheCheque::semNumeroNaoHaBanco()
{
    // The release of the shortcut that opened the window lands in the number
    // box; the empty number names no bank.
    QWidget *numero = controle<QWidget>("edtNumBanco");
    QTest::keyRelease(numero, Qt::Key_A, Qt::ControlModifier);
    QTest::keyRelease(numero, Qt::Key_Control);
    QCOMPARE(controle<CaixaBusca>("edtBanco")->currentIndex(), -1);

    // Straight to the value and "Imprimir": the bank is asked for.
    digita("edtValor", QStringLiteral("15000"));
    digita("edtAgencia", QStringLiteral("1234"));
    digita("edtConta", QStringLiteral("5"));
    const qsizetype antes = chequesDeHoje().size();
    clica("btImprimir");
    QCOMPARE(caixas_->lastText(), QStringLiteral("O Campo Banco deve ser preenchido!"));
    QCOMPARE(chequesDeHoje().size(), antes);
}

void TestPreencheCheque::valorDeQuatorzeDigitos()
{
    // The largest value: entered and left again and again, it stays.
    auto *valor = caixa("edtValor");
    digita("edtValor", QStringLiteral("99999999999999"));
    for (int vez = 0; vez < 3; ++vez) {
        QCOMPARE(valor->text(), QStringLiteral("999999999999,99"));
        digita("edtValor", QString());
    }

    // One digit more than a cheque carries is refused, not cut.
    valor->setFocus();
    valor->setSelection(12, 1);
    QTest::keyClick(valor, Qt::Key_9);
    QTest::keyClick(valor, Qt::Key_Tab);
    const QString maior = QStringLiteral("O valor \"9999999999999,99\" passa do maior valor de um cheque, "
                                         "999999999999,99.");
    QCOMPARE(valor->text(), QStringLiteral("9999999999999,99"));
    QCOMPARE(caixas_->lastText(), maior);
    QCOMPARE(QApplication::focusWidget(), valor);
    digita("edtNumBanco", QStringLiteral("237"));
    digita("edtAgencia", QStringLiteral("1234"));
    digita("edtConta", QStringLiteral("5"));
    const qsizetype antes = chequesDeHoje().size();
    const qsizetype paginas = impressora_->paginas(QStringLiteral("cheque")).size();
    clica("btImprimir");
    QCOMPARE(caixas_->lastText(), maior);
    QCOMPARE(chequesDeHoje().size(), antes);

    // Fourteen digits: the screen, the words, the printer and the register
    // all say the same amount.
    valor->clear();
    digita("edtValor", QStringLiteral("12345678901234"));
    QCOMPARE(valor->text(), QStringLiteral("123456789012,34"));
    QCOMPARE(controle<QLabel>("lblValorPorExtenso")->text(),
             QString::fromStdString(Money::fromCentavos(12345678901234).extenso()));
    clica("btImprimir");
    QCOMPARE(caixas_->lastText(), Sucesso);
    const QString pagina = impressora_->pagina(QStringLiteral("cheque"), int(paginas) + 1);
    QVERIFY2(pagina.contains(QStringLiteral("123.456.789.012,34")), qPrintable(pagina));
    QCOMPARE(chequesDeHoje().last().valor.toText(), QStringLiteral("123456789012,34"));
}

void TestPreencheCheque::campoObrigatorio_data()
{
    QTest::addColumn<QString>("vazio");
    QTest::addColumn<QString>("nome");
    QTest::newRow("banco") << "edtBanco" << "Banco";
    QTest::newRow("valor") << "edtValor" << "Valor";
    QTest::newRow("agencia") << "edtAgencia" << "Agencia";
    QTest::newRow("conta") << "edtConta" << "Conta";
    QTest::newRow("cidade") << "edtCidade" << "Cidade";
}

void TestPreencheCheque::campoObrigatorio()
{
    QFETCH(QString, vazio);
    QFETCH(QString, nome);
    preenche();
    if (vazio == QLatin1String("edtBanco"))
        controle<CaixaBusca>("edtBanco")->limpa();
    else
        caixa(qPrintable(vazio))->clear();
    const qsizetype antes = chequesDeHoje().size();
    clica("btImprimir");
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].text, QStringLiteral("O Campo %1 deve ser preenchido!").arg(nome));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Warning);
    QCOMPARE(QApplication::focusWidget()->objectName(), vazio);
    QCOMPARE(chequesDeHoje().size(), antes);
}

void TestPreencheCheque::semFavorecidoNemEscolhas()
{
    preenche(QStringLiteral("15000"));
    const qsizetype paginas = impressora_->paginas(QStringLiteral("cheque")).size();
    clica("btImprimir");
    QCOMPARE(caixas_->lastText(), Sucesso);
    QCOMPARE(caixas_->boxes.last().icon, MessagePresenter::Icon::Information);

    const RegistroCheque c = chequesDeHoje().last();
    QCOMPARE(c.idCheque, janela_->idCheque());
    QCOMPARE(c.favorecido, QString());
    QCOMPARE(c.numBanco, QStringLiteral("237"));
    QCOMPARE(c.valor.toText(), QStringLiteral("150,00"));
    QCOMPARE(c.cidade, QStringLiteral("São Paulo"));
    QCOMPARE(c.conta, QStringLiteral("56789-0"));
    // No choice reaches the database as NULL, stored against the seed rows.
    QCOMPARE(c.idCentroCusto, std::optional<int>(1));
    QCOMPARE(c.idCompensacao, std::optional<int>(1));
    // Marked printed today after the print.
    QVERIFY(c.jaImpresso);
    QCOMPARE(c.dataImpressao, std::optional<QDate>(QDate::currentDate()));
    QVERIFY(!c.terceiro);

    // Printed with an empty payee.
    const QString pagina = impressora_->pagina(QStringLiteral("cheque"), int(paginas) + 1);
    QVERIFY2(pagina.contains(QStringLiteral("150,00")), qPrintable(pagina));
    QVERIFY2(pagina.contains(QStringLiteral("São Paulo")), qPrintable(pagina));

    // Locked, with the copy and the new cheque on its base offered.
    for (const char *nome : {"edtNumBanco", "edtBanco", "edtValor", "edtAgencia", "edtConta", "edtNumCheque",
                             "edtNomeFavorecido", "edtCidade", "dtpDataCheque", "edtDescricao", "edtCentroCusto",
                             "edtTipoCompensacao", "chkChequeTerceiro", "chkJaImpresso", "dtpDataImpressao",
                             "btImprimir"})
        QVERIFY2(!controle<QWidget>(nome)->isEnabled(), nome);
    QVERIFY(controle<QCheckBox>("chkJaImpresso")->isChecked());
    QVERIFY(controle<QWidget>("dtpDataImpressao")->isVisible());
    QVERIFY(controle<QPushButton>("btImprimirCopia")->isEnabled());
    QVERIFY(controle<QPushButton>("btBaseAntigo")->isEnabled());
}

void TestPreencheCheque::chequeImpressoChegaNaPagina()
{
    preenche(QStringLiteral("123456"));
    digita("edtNumCheque", QStringLiteral("000321"));
    auto *favorecido = controle<CaixaBusca>("edtNomeFavorecido");
    const WriteResult r = dm_->gravar(dm_->spInsereFavorecido,
                                      {{QStringLiteral("NOMEFAVORECIDO"), QStringLiteral("José da Conceição")}},
                                      QString(), {&dm_->ListaFavorecidos});
    QVERIFY(r);
    // The new payee is offered at once.
    favorecido->setCurrentIndex(favorecido->findText(QStringLiteral("José da Conceição")));
    QVERIFY(favorecido->currentIndex() >= 0);
    caixa("edtCidade")->setText(QStringLiteral("Curitiba"));
    controle<DataLonga>("dtpDataCheque")->setDate(QDate(2026, 12, 8));
    const QString capturas = qEnvironmentVariable("NORVEL_CAPTURAS");
    if (!capturas.isEmpty())
        janela_->grab().save(capturas + QStringLiteral("/preenchecheque.png"));
    const qsizetype paginas = impressora_->paginas(QStringLiteral("cheque")).size();
    clica("btImprimir");
    QCOMPARE(caixas_->lastText(), Sucesso);

    const QString pagina = impressora_->pagina(QStringLiteral("cheque"), int(paginas) + 1);
    for (const QString &parte : {QStringLiteral("José da Conceição"), QStringLiteral("Curitiba"),
                                 QStringLiteral("1.234,56"), QStringLiteral("08"), QStringLiteral("2026")})
        QVERIFY2(pagina.contains(parte), qPrintable(parte + QStringLiteral(" not in:\n") + pagina));
    dm_->ConsultaChequesData.setParam(0, QDate(2026, 12, 8));
    dm_->ConsultaChequesData.reopen();
    const RegistroCheque c = TdmNorvelCheque::chequeDaLinha(dm_->ConsultaChequesData, 0);
    QCOMPARE(c.favorecido, QStringLiteral("José da Conceição"));
    QCOMPARE(c.numCheque, QStringLiteral("000321"));
    QCOMPARE(c.valor.toText(), QStringLiteral("1234,56"));
}

void TestPreencheCheque::jaImpressoEImpressoraDesligada()
{
    impressora_->liga(false);
    preenche();
    clica("chkJaImpresso");
    controle<DataLonga>("dtpDataImpressao")->setDate(QDate(2026, 1, 15));
    const qsizetype antes = chequesDeHoje().size();

    // Printer off: each press stores one row, which keeps the picked date.
    clica("btImprimir");
    clica("btImprimir");
    const QList<RegistroCheque> cheques = chequesDeHoje();
    QCOMPARE(cheques.size(), antes + 2);
    for (const RegistroCheque &c : cheques.mid(antes)) {
        QVERIFY(c.jaImpresso);
        QCOMPARE(c.dataImpressao, std::optional<QDate>(QDate(2026, 1, 15)));
    }
    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Error);
    QVERIFY(controle<QWidget>("edtValor")->isEnabled());
    QVERIFY(controle<QPushButton>("btImprimir")->isEnabled());
    QVERIFY(!controle<QPushButton>("btImprimirCopia")->isEnabled());

    // Printer on: stored with the picked date, then marked with today's.
    impressora_->liga(true);
    clica("btImprimir");
    QCOMPARE(caixas_->lastText(), Sucesso);
    const RegistroCheque impresso = chequesDeHoje().last();
    QCOMPARE(impresso.idCheque, janela_->idCheque());
    QVERIFY(impresso.jaImpresso);
    QCOMPARE(impresso.dataImpressao, std::optional<QDate>(QDate::currentDate()));
}

void TestPreencheCheque::novoBaseComAsDuasRespostas()
{
    preenche();
    digita("edtNumCheque", QStringLiteral("77"));
    caixa("edtDescricao")->setText(QStringLiteral("Aluguel"));
    controle<CaixaBusca>("edtCentroCusto")->setCurrentIndex(0);
    clica("chkChequeTerceiro");
    clica("btImprimir");
    QCOMPARE(caixas_->lastText(), Sucesso);

    caixas_->answers = {true};
    clica("btBaseAntigo");
    QCOMPARE(caixas_->boxes.last().title, QStringLiteral("Norvl Cheque"));
    QCOMPARE(caixas_->lastText(), QStringLiteral("Você deseja criar um novo cheque com base neste?"));
    QCOMPARE(caixa("edtNumBanco")->text(), QStringLiteral("237"));
    QCOMPARE(controle<CaixaBusca>("edtBanco")->currentText(), QStringLiteral("Bradesco"));
    QCOMPARE(caixa("edtValor")->text(), QStringLiteral("1234,56"));
    QCOMPARE(caixa("edtAgencia")->text(), QStringLiteral("1234"));
    QCOMPARE(caixa("edtConta")->text(), QStringLiteral("56789-0"));
    QCOMPARE(caixa("edtCidade")->text(), QStringLiteral("São Paulo"));
    QCOMPARE(caixa("edtDescricao")->text(), QStringLiteral("Aluguel"));
    QCOMPARE(caixa("edtNumCheque")->text(), QString());
    QCOMPARE(controle<CaixaBusca>("edtCentroCusto")->currentIndex(), -1);
    QVERIFY(!controle<QCheckBox>("chkChequeTerceiro")->isChecked());
    QVERIFY(!controle<QCheckBox>("chkJaImpresso")->isChecked());
    QVERIFY(!controle<QWidget>("dtpDataImpressao")->isVisible());
    // Editing after a print: every button on.
    for (const char *nome : {"edtValor", "btImprimir", "btImprimirCopia", "btBaseAntigo"})
        QVERIFY2(controle<QWidget>(nome)->isEnabled(), nome);

    // No also starts a new cheque, a blank one, the city included.
    caixas_->answers = {false};
    clica("btBaseAntigo");
    for (const char *nome : {"edtNumBanco", "edtValor", "edtAgencia", "edtConta", "edtCidade", "edtDescricao"})
        QVERIFY2(caixa(nome)->text().isEmpty(), nome);
    QCOMPARE(controle<CaixaBusca>("edtBanco")->currentIndex(), -1);
    QVERIFY(controle<QPushButton>("btImprimir")->isEnabled());
}

void TestPreencheCheque::novoEsair()
{
    preenche();
    // No keeps everything.
    clica("btNovoCheque");
    QCOMPARE(caixas_->boxes.last().title, QStringLiteral("Norvl Cheque"));
    QCOMPARE(caixas_->lastText(), QStringLiteral("Você realmente deseja criar um novo cheque ? Caso o cheque não "
                                                 "tenha sido impresso todos os dados serão perdidos !"));
    QCOMPARE(caixa("edtAgencia")->text(), QStringLiteral("1234"));
    // Yes before any print: cleared, the city and the words kept, still the
    // first state.
    caixas_->answers = {true};
    clica("btNovoCheque");
    for (const char *nome : {"edtNumBanco", "edtValor", "edtAgencia", "edtConta"})
        QVERIFY2(caixa(nome)->text().isEmpty(), nome);
    QCOMPARE(caixa("edtCidade")->text(), QStringLiteral("São Paulo"));
    QCOMPARE(controle<QLabel>("lblValorPorExtenso")->text(),
             QString::fromStdString(Money::fromCentavos(123456).extenso()));
    QVERIFY(!controle<QPushButton>("btImprimirCopia")->isEnabled());

    clica("btSair");
    QCOMPARE(caixas_->lastText(), QStringLiteral("Deseja realmente sair?"));
    QCOMPARE(caixas_->boxes.last().title, QStringLiteral("Norvel Cheque"));
    QVERIFY(janela_->isVisible());
    caixas_->answers = {true};
    QPointer<TfrmPreencherCheque> janela = janela_;
    clica("btSair");
    processaPendentes();
    QVERIFY(!janela);
    janela_ = nullptr;
}

void TestPreencheCheque::copiaECadastros()
{
    preenche();
    clica("btImprimir");
    const qsizetype documentos = impressora_->paginas(QStringLiteral("document")).size();
    clica("btImprimirCopia");
    QCOMPARE(caixas_->lastText(), QStringLiteral("Comando enviado para impressora com sucesso"));
    const QString copia = impressora_->pagina(QStringLiteral("document"), int(documentos) + 1);
    QVERIFY2(copia.contains(QStringLiteral("Bradesco")), qPrintable(copia));
    QVERIFY2(copia.contains(QStringLiteral("R$ 1234,56")), qPrintable(copia));

    QSignalSpy abertas(janela_, &TfrmPreencherCheque::abreJanela);
    clica("ToolButton1");
    QCOMPARE(abertas.count(), 1);
    std::unique_ptr<QWidget> cadastro(abertas[0][0].value<QWidget *>());
    QVERIFY(qobject_cast<TfrmFavorecido *>(cadastro.get()));
}

NORVEL_UI_TEST_MAIN(TestPreencheCheque)
#include "test_preenchecheque.moc"
