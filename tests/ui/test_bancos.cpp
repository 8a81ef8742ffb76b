// The bank registry driven by its control names on a fresh database, with
// the virtual printer on the far end of the port for "Salvar na Impressora".
// The cases build on each other's banks and run in their order.

#include "BankLayout.h"
#include "RecordingPresenter.h"
#include "TestDatabase.h"
#include "UiTest.h"
#include "uBancos.h"
#include "uDMNorvelCheque.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

#include <signal.h>
#include <sys/prctl.h>

namespace {

const QString Padrao = QStringLiteral("016080050880060180070180125247546075");
constexpr int PortaMapeada = 7;

// The virtual printer as a child process on an RFC 2217 port of its own,
// mapped to COM7 through a port-map file of the test's own.
class ImpressoraVirtual {
public:
    explicit ImpressoraVirtual(bool ligada)
    {
#ifdef VIRTUAL_PRINTER
        processo_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A test that aborts takes its printer with it.
        processo_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        processo_.start(QStringLiteral(VIRTUAL_PRINTER),
                        {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--state-dir"), estado_.path(),
                         QStringLiteral("--power"), ligada ? QStringLiteral("on") : QStringLiteral("off")});
        if (!processo_.waitForStarted(5000))
            return;
        while (!saida_.contains(QStringLiteral("ready at")) && processo_.waitForReadyRead(5000))
            saida_ += QString::fromUtf8(processo_.readAll());
        const QString endereco = saida_.section(u'\n', 0, 0).trimmed();
        if (!endereco.startsWith(QStringLiteral("rfc2217://")))
            return;
        QFile mapa(estado_.filePath(QStringLiteral("portas.ini")));
        if (!mapa.open(QIODevice::WriteOnly))
            return;
        mapa.write(QStringLiteral("[Portas]\nCOM%1=%2\n").arg(PortaMapeada).arg(endereco).toUtf8());
        mapa.close();
        qputenv("LUMORA_PORTAS", mapa.fileName().toLocal8Bit());
        pronta_ = true;
#else
        Q_UNUSED(ligada);
#endif
    }

    ~ImpressoraVirtual()
    {
        processo_.terminate();
        if (!processo_.waitForFinished(5000))
            processo_.kill();
        processo_.waitForFinished(1000);
    }

    bool pronta() const { return pronta_; }

    // Everything the printer logged so far, after waiting up to a second
    // for the line that holds esperado.
    QString log(const QString &esperado)
    {
        QDeadlineTimer prazo(1000);
        saida_ += QString::fromUtf8(processo_.readAll());
        while (!saida_.contains(esperado) && !prazo.hasExpired()) {
            processo_.waitForReadyRead(int(prazo.remainingTime()));
            saida_ += QString::fromUtf8(processo_.readAll());
        }
        return saida_;
    }

    // The "bank=layout" lines of the printer's memory.
    QStringList leiautesGuardados() const
    {
        QFile arquivo(estado_.filePath(QStringLiteral("layouts.txt")));
        if (!arquivo.open(QIODevice::ReadOnly))
            return {};
        QStringList linhas = QString::fromLatin1(arquivo.readAll()).split(u'\n', Qt::SkipEmptyParts);
        linhas.removeIf([](const QString &linha) { return linha.startsWith(u'#'); });
        return linhas;
    }

private:
    QTemporaryDir estado_;
    QProcess processo_;
    QString saida_;
    bool pronta_ = false;
};

} // namespace

class TestBancos : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void aparencia();
    void ordemDeTabulacao();
    void gradeVaziaSemChave();
    void novoCompletaNumeroEGrava();
    void nomeVazioNaoGrava();
    void numeroCadastradoPerguntaSeAltera();
    void alterarTiraBrancosDaSigla();
    void cancelarMostraBancoAtual();
    void caixasDeLeiaute();
    void leiauteForaDeOrdemNaoGrava();
    void excluirPergunta();
    void salvarNaImpressoraProgramaEGrava();
    void salvarNaImpressoraComNumeroCadastrado();
    void impressoraDesligadaNaoGrava();
    void salvarNaImpressoraSemNomeOuNumero();
    void portaQueNaoAbre();
    void cliquesNaJanelaFilha();

private:
    void abre();
    template <typename T> T *controle(const QString &nome);
    QLineEdit *caixa(const QString &nome) { return controle<QLineEdit>(nome); }
    void clica(const QString &botao);
    // Types texto into a box that is emptied first, then leaves it for the
    // name box (or the number box, when leaving the name box).
    void preenche(const QString &nome, const QString &texto);
    void sai(const QString &nome);
    void seleciona(const QString &numero);
    int linhaDe(const QString &numero);
    QString campo(const QString &numero, const QString &nome);
    void insereBanco(const QString &numero, const QString &nome);
    bool edicaoLigada();

    std::unique_ptr<norvel::db::TestDatabase> base_;
    std::unique_ptr<TdmNorvelCheque> dm_;
    std::unique_ptr<RecordingPresenter> caixas_;
    Contexto contexto_;
    TfrmBancos *janela_ = nullptr;
};

void TestBancos::initTestCase()
{
    base_ = std::make_unique<norvel::db::TestDatabase>();
    dm_ = std::make_unique<TdmNorvelCheque>();
    dm_->DataModuleCreate();
}

void TestBancos::cleanupTestCase()
{
    dm_.reset();
    base_.reset();
}

void TestBancos::init()
{
    contexto_ = Contexto();
    contexto_.dados = dm_.get();
    caixas_ = std::make_unique<RecordingPresenter>();
    abre();
}

void TestBancos::cleanup()
{
    if (janela_)
        janela_->close();
    janela_ = nullptr;
    caixas_.reset();
    VERIFICA_SEM_JANELAS();
}

void TestBancos::abre()
{
    janela_ = new TfrmBancos(contexto_, nullptr);
    janela_->show();
    if (!QTest::qWaitForWindowActive(janela_))
        qWarning("window not active: the leave rules will not run");
}

template <typename T> T *TestBancos::controle(const QString &nome)
{
    T *achado = janela_->findChild<T *>(nome);
    if (!achado)
        qWarning("no control %s", qPrintable(nome));
    return achado;
}

void TestBancos::clica(const QString &botao)
{
    QPushButton *bt = controle<QPushButton>(botao);
    QVERIFY(bt);
    QVERIFY2(bt->isEnabled(), qPrintable(botao));
    // The pointer comes onto the button before it presses, as a hand's does.
    QTest::mouseMove(bt);
    QTest::mouseClick(bt, Qt::LeftButton);
}

void TestBancos::preenche(const QString &nome, const QString &texto)
{
    QLineEdit *box = caixa(nome);
    QVERIFY(box);
    box->setFocus(Qt::TabFocusReason);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    for (const QChar letra : texto) {
        // keyClicks cannot type accented letters: send what a keyboard sends.
        QKeyEvent aperta(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letra));
        QKeyEvent solta(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(letra));
        QApplication::sendEvent(box, &aperta);
        QApplication::sendEvent(box, &solta);
    }
    sai(nome);
}

void TestBancos::sai(const QString &nome)
{
    const QString outra = nome == QLatin1String("edtNomeBanco") ? QStringLiteral("edtSiglaBanco")
                                                                 : QStringLiteral("edtNomeBanco");
    caixa(outra)->setFocus(Qt::TabFocusReason);
}

int TestBancos::linhaDe(const QString &numero)
{
    return dm_->ListaBancos.locate(QStringLiteral("NUMBANCO"), numero);
}

QString TestBancos::campo(const QString &numero, const QString &nome)
{
    const int linha = linhaDe(numero);
    return linha < 0 ? QStringLiteral("<no bank %1>").arg(numero) : dm_->ListaBancos.value(linha, nome).toString();
}

void TestBancos::seleciona(const QString &numero)
{
    QTableView *grade = controle<QTableView>(QStringLiteral("DBGrid1"));
    const int linha = linhaDe(numero);
    QVERIFY2(linha >= 0, qPrintable(numero));
    grade->setCurrentIndex(grade->model()->index(linha, dm_->ListaBancos.columnOf(QStringLiteral("NUMBANCO"))));
    QCOMPARE(caixa(QStringLiteral("edtNumeroBanco"))->text(), numero);
}

void TestBancos::insereBanco(const QString &numero, const QString &nome)
{
    const WriteResult r = dm_->gravar(dm_->spInsereBanco,
                                      {{QStringLiteral("NOMEBANCO"), nome},
                                       {QStringLiteral("SIGLABANCO"), nome.left(3)},
                                       {QStringLiteral("NUMBANCO"), numero},
                                       {QStringLiteral("POSICOESBANCO"), Padrao}},
                                      QString(), {&dm_->ListaBancos, &dm_->ListaBancos2});
    QVERIFY2(r, qPrintable(r.message));
}

bool TestBancos::edicaoLigada()
{
    const bool grupo = controle<QGroupBox>(QStringLiteral("grpPosicoes"))->isEnabled();
    for (const char *nome : {"edtNomeBanco", "edtSiglaBanco", "lblNumBanco", "lblNomeBanco", "lblSiglaBanco"})
        if (controle<QWidget>(QLatin1String(nome))->isEnabled() != grupo)
            qWarning("%s is not switched with the edit area", nome);
    return grupo;
}

void TestBancos::aparencia()
{
    QCOMPARE(janela_->windowTitle(), QStringLiteral("Bancos"));
    // 625 high with the frame's title bar in the main window.
    QCOMPARE(janela_->size(), QSize(544, 597));
    QCOMPARE(janela_->minimumSize(), janela_->maximumSize());

    const QList<std::pair<const char *, const char *>> textos = {
        {"btNovo", "Novo"}, {"btAlterar", "Alterar"}, {"btExcluir", "Excluir"}, {"btSalvar", "Salvar"},
        {"btSalvarImpressora", "Salvar na Impressora"}, {"btCancelar", "Cancelar"}};
    for (const auto &[nome, texto] : textos)
        QCOMPARE(controle<QPushButton>(QLatin1String(nome))->text(), QString::fromUtf8(texto));
    QCOMPARE(controle<QLabel>(QStringLiteral("lblNumBanco"))->text(), QStringLiteral("Numero do Banco:"));
    QCOMPARE(controle<QLabel>(QStringLiteral("lblNomeBanco"))->text(), QStringLiteral("Nome do Banco:"));
    QCOMPARE(controle<QLabel>(QStringLiteral("lblSiglaBanco"))->text(), QStringLiteral("Sigla do Banco:"));
    QCOMPARE(caixa(QStringLiteral("edtNumeroBanco"))->placeholderText(), QStringLiteral("Numero do Banco"));
    QCOMPARE(caixa(QStringLiteral("edtNumeroBanco"))->maxLength(), 3);
    QCOMPARE(caixa(QStringLiteral("edtNomeBanco"))->placeholderText(), QStringLiteral("Nome do Banco"));
    QCOMPARE(caixa(QStringLiteral("edtSiglaBanco"))->placeholderText(), QStringLiteral("Sigla do Banco"));
    QCOMPARE(controle<QGroupBox>(QStringLiteral("grpPosicoes"))->title(), QStringLiteral("Posições"));
    QVERIFY(!caixa(QStringLiteral("dbIDBanco"))->isVisible());

    for (int f = 0; f < BankLayout::FieldCount; ++f) {
        const BankLayout::FieldInfo &info = BankLayout::info(BankLayout::Field(f));
        QLineEdit *box = caixa(info.box);
        QVERIFY2(box, qPrintable(info.box));
        QCOMPARE(box->maxLength(), BankLayout::MaxBoxLength);
        QVERIFY2(controle<UpDown>(info.spinner), qPrintable(info.spinner));
        QLabel *rotulo = controle<QLabel>(QStringLiteral("lbl") + info.name);
        QVERIFY2(rotulo, qPrintable(info.name));
        QCOMPARE(rotulo->text(), info.label);
        QCOMPARE(rotulo->buddy(), box);
    }

    QTableView *grade = controle<QTableView>(QStringLiteral("DBGrid1"));
    const norvel::db::DbQuery &lista = dm_->ListaBancos;
    const auto titulo = [&](const char *campo) {
        return grade->model()->headerData(lista.columnOf(QLatin1String(campo)), Qt::Horizontal).toString();
    };
    QCOMPARE(titulo("NUMBANCO"), QStringLiteral("Número do Banco"));
    QCOMPARE(titulo("SIGLABANCO"), QStringLiteral("Sigla"));
    QCOMPARE(titulo("NOMEBANCO"), QStringLiteral("Nome do Banco"));
    QCOMPARE(grade->columnWidth(lista.columnOf(QStringLiteral("SIGLABANCO"))), 134);
    QCOMPARE(grade->columnWidth(lista.columnOf(QStringLiteral("NOMEBANCO"))), 249);
    // The number's column has no width of its own and fits its title.
    const int numero = lista.columnOf(QStringLiteral("NUMBANCO"));
    QVERIFY(grade->columnWidth(numero) >= grade->horizontalHeader()->sectionSizeHint(numero));
    QVERIFY(grade->isColumnHidden(lista.columnOf(QStringLiteral("POSICOESBANCO"))));
    QVERIFY(grade->isColumnHidden(lista.columnOf(QStringLiteral("IDBANCO"))));
    QCOMPARE(grade->selectionBehavior(), QAbstractItemView::SelectRows);

    // Browsing: the list and its three buttons, the edit area off.
    QVERIFY(!edicaoLigada());
    QVERIFY(!caixa(QStringLiteral("edtNumeroBanco"))->isEnabled());
    for (const char *nome : {"btNovo", "btAlterar", "btExcluir"})
        QVERIFY(controle<QPushButton>(QLatin1String(nome))->isEnabled());
}

void TestBancos::ordemDeTabulacao()
{
    clica(QStringLiteral("btNovo"));
    QStringList esperada = {QStringLiteral("edtNumeroBanco"), QStringLiteral("edtNomeBanco"),
                            QStringLiteral("edtSiglaBanco")};
    for (int f = 0; f < BankLayout::FieldCount; ++f)
        esperada << BankLayout::info(BankLayout::Field(f)).box;
    esperada << QStringLiteral("btSalvar") << QStringLiteral("btSalvarImpressora") << QStringLiteral("btCancelar");

    // Walked with the Tab key itself, which the boxes' key filters let pass.
    QVERIFY(caixa(QStringLiteral("edtNumeroBanco"))->hasFocus());
    QStringList percorrida = {QApplication::focusWidget()->objectName()};
    for (int i = 1; i < esperada.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        percorrida << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(percorrida, esperada);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btSalvarImpressora"));
    clica(QStringLiteral("btCancelar"));
}

void TestBancos::gradeVaziaSemChave()
{
    QVERIFY(dm_->ListaBancos.isEmpty());
    // Nothing to show: the boxes keep what they hold.
    QVERIFY(caixa(QStringLiteral("edtNumeroBanco"))->text().isEmpty());
    QVERIFY(caixa(QStringLiteral("edtLinhaValor"))->text().isEmpty());

    clica(QStringLiteral("btAlterar"));
    QVERIFY(edicaoLigada());
    QVERIFY(!caixa(QStringLiteral("edtNumeroBanco"))->isEnabled());
    for (int f = 0; f < BankLayout::FieldCount; ++f)
        caixa(BankLayout::info(BankLayout::Field(f)).box)->setText(BankLayout().text(BankLayout::Field(f)));
    clica(QStringLiteral("btSalvar"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->lastText(), QStringLiteral("Erro ao tentar salvar dados: '' is not a valid integer value"));
    QVERIFY(edicaoLigada());
    QVERIFY(dm_->ListaBancos.isEmpty());

    clica(QStringLiteral("btCancelar"));
    caixas_->answers = {true};
    clica(QStringLiteral("btExcluir"));
    QCOMPARE(caixas_->boxes.size(), 3);
    QCOMPARE(caixas_->boxes[1].text, QStringLiteral("Deseja realmente excluir o banco?"));
    QCOMPARE(caixas_->lastText(), QStringLiteral("Erro ao apagar dados do banco: '' is not a valid integer value"));
}

void TestBancos::novoCompletaNumeroEGrava()
{
    clica(QStringLiteral("btNovo"));
    QVERIFY(edicaoLigada());
    for (const char *nome : {"btNovo", "btAlterar", "btExcluir"})
        QVERIFY(!controle<QPushButton>(QLatin1String(nome))->isEnabled());
    QLineEdit *numero = caixa(QStringLiteral("edtNumeroBanco"));
    QVERIFY(numero->hasFocus());
    for (int f = 0; f < BankLayout::FieldCount; ++f)
        QCOMPARE(caixa(BankLayout::info(BankLayout::Field(f)).box)->text(), BankLayout().text(BankLayout::Field(f)));

    // Only digits get in.
    QTest::keyClicks(numero, QStringLiteral("a1-"));
    QCOMPARE(numero->text(), QStringLiteral("1"));
    sai(QStringLiteral("edtNumeroBanco"));
    QCOMPARE(numero->text(), QStringLiteral("001"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Banco do Brasil"));
    preenche(QStringLiteral("edtSiglaBanco"), QStringLiteral("  ABC  "));
    clica(QStringLiteral("btSalvar"));

    QVERIFY2(caixas_->boxes.isEmpty(), qPrintable(caixas_->lastText()));
    QCOMPARE(campo(QStringLiteral("001"), QStringLiteral("NOMEBANCO")), QStringLiteral("Banco do Brasil"));
    QCOMPARE(campo(QStringLiteral("001"), QStringLiteral("POSICOESBANCO")), Padrao);
    // A new bank keeps the blanks of its short name.
    QCOMPARE(campo(QStringLiteral("001"), QStringLiteral("SIGLABANCO")), QStringLiteral("  ABC  "));
    QVERIFY(!edicaoLigada());
    QCOMPARE(controle<QTableView>(QStringLiteral("DBGrid1"))->model()->rowCount(), 1);
    QCOMPARE(caixa(QStringLiteral("dbIDBanco"))->text(), campo(QStringLiteral("001"), QStringLiteral("IDBANCO")));

    // "41" becomes "041"; three digits and an empty box stay.
    clica(QStringLiteral("btNovo"));
    for (const auto &[digitado, deixado] : {std::pair{"41", "041"}, {"341", "341"}, {"", ""}}) {
        preenche(QStringLiteral("edtNumeroBanco"), QLatin1String(digitado));
        QCOMPARE(numero->text(), QLatin1String(deixado));
    }
    clica(QStringLiteral("btCancelar"));
}

void TestBancos::nomeVazioNaoGrava()
{
    clica(QStringLiteral("btNovo"));
    preenche(QStringLiteral("edtNumeroBanco"), QStringLiteral("5"));
    clica(QStringLiteral("btSalvar"));

    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].text,
             QStringLiteral("Os campos \"Nome do Banco\" e \"Numero do Banco\" devem ser preechidos."));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Error);
    QVERIFY(caixa(QStringLiteral("edtNumeroBanco"))->hasFocus());
    QCOMPARE(linhaDe(QStringLiteral("005")), -1);
    // Still editing, with the list's buttons already back on.
    QVERIFY(edicaoLigada());
    QVERIFY(controle<QPushButton>(QStringLiteral("btNovo"))->isEnabled());
}

void TestBancos::numeroCadastradoPerguntaSeAltera()
{
    insereBanco(QStringLiteral("341"), QStringLiteral("Itaú"));
    seleciona(QStringLiteral("341"));

    clica(QStringLiteral("btNovo"));
    preenche(QStringLiteral("edtNumeroBanco"), QStringLiteral("1"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Banco do Brasil S.A."));
    preenche(QStringLiteral("edtSiglaBanco"), QStringLiteral("  BB  "));
    preenche(QStringLiteral("edtColFimValor"), QStringLiteral("79"));

    caixas_->answers = {false};
    clica(QStringLiteral("btSalvar"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QVERIFY(caixas_->boxes[0].question);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].text, QStringLiteral("Banco de Numero: 001 ja esta cadastrado, deseja alterar?"));
    QCOMPARE(campo(QStringLiteral("001"), QStringLiteral("NOMEBANCO")), QStringLiteral("Banco do Brasil"));
    QVERIFY(edicaoLigada());
    QCOMPARE(janela_->modo(), TfrmBancos::Modo::Novo);

    caixas_->answers = {true};
    clica(QStringLiteral("btSalvar"));
    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE(janela_->modo(), TfrmBancos::Modo::Alterar);
    // The bank with that number is altered, not the one the grid showed.
    QCOMPARE(campo(QStringLiteral("001"), QStringLiteral("NOMEBANCO")), QStringLiteral("Banco do Brasil S.A."));
    QCOMPARE(campo(QStringLiteral("001"), QStringLiteral("SIGLABANCO")), QStringLiteral("BB"));
    QCOMPARE(campo(QStringLiteral("001"), QStringLiteral("POSICOESBANCO")),
             QStringLiteral("016079050880060180070180125247546075"));
    QCOMPARE(campo(QStringLiteral("341"), QStringLiteral("NOMEBANCO")), QStringLiteral("Itaú"));
    QVERIFY(!edicaoLigada());
    // Back on the first row, whose values the boxes show.
    QCOMPARE(caixa(QStringLiteral("edtNumeroBanco"))->text(), QStringLiteral("001"));
    QCOMPARE(caixa(QStringLiteral("edtSiglaBanco"))->text(), QStringLiteral("BB"));
    QCOMPARE(caixa(QStringLiteral("edtColFimValor"))->text(), QStringLiteral("79"));
}

void TestBancos::alterarTiraBrancosDaSigla()
{
    seleciona(QStringLiteral("341"));
    clica(QStringLiteral("btAlterar"));
    QVERIFY(edicaoLigada());
    QVERIFY(!caixa(QStringLiteral("edtNumeroBanco"))->isEnabled());
    QCOMPARE(caixa(QStringLiteral("edtNomeBanco"))->text(), QStringLiteral("Itaú"));
    preenche(QStringLiteral("edtSiglaBanco"), QStringLiteral("  ABC  "));
    clica(QStringLiteral("btSalvar"));

    QVERIFY2(caixas_->boxes.isEmpty(), qPrintable(caixas_->lastText()));
    QCOMPARE(campo(QStringLiteral("341"), QStringLiteral("SIGLABANCO")), QStringLiteral("ABC"));
    QCOMPARE(campo(QStringLiteral("341"), QStringLiteral("NOMEBANCO")), QStringLiteral("Itaú"));
}

void TestBancos::cancelarMostraBancoAtual()
{
    seleciona(QStringLiteral("341"));
    clica(QStringLiteral("btAlterar"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Descartado"));
    preenche(QStringLiteral("edtLinhaCidade"), QStringLiteral("13"));
    clica(QStringLiteral("btCancelar"));

    QVERIFY(!edicaoLigada());
    for (const char *nome : {"btNovo", "btAlterar", "btExcluir"})
        QVERIFY(controle<QPushButton>(QLatin1String(nome))->isEnabled());
    QCOMPARE(caixa(QStringLiteral("edtNomeBanco"))->text(), QStringLiteral("Itaú"));
    QCOMPARE(caixa(QStringLiteral("edtLinhaCidade"))->text(), QStringLiteral("12"));
    QVERIFY(caixas_->boxes.isEmpty());
}

void TestBancos::caixasDeLeiaute()
{
    clica(QStringLiteral("btNovo"));
    QLineEdit *linha = caixa(QStringLiteral("edtLinhaValor"));

    preenche(QStringLiteral("edtLinhaValor"), QStringLiteral("x7"));
    QCOMPARE(linha->text(), QStringLiteral("07"));
    preenche(QStringLiteral("edtColIniValor"), QStringLiteral("0"));
    QCOMPARE(caixa(QStringLiteral("edtColIniValor"))->text(), QStringLiteral("00"));
    QVERIFY(caixas_->boxes.isEmpty());

    // Lines start at 1: the message, the text kept, the focus back.
    preenche(QStringLiteral("edtLinhaValor"), QStringLiteral("0"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].text, QStringLiteral("Valor Inválido"));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::None);
    QCOMPARE(linha->text(), QStringLiteral("0"));
    QVERIFY(linha->hasFocus());

    // Mended in place: no second message.
    preenche(QStringLiteral("edtLinhaValor"), QStringLiteral("1"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(linha->text(), QStringLiteral("01"));

    // An emptied box: the conversion error of the general report.
    caixas_->boxes.clear();
    preenche(QStringLiteral("edtColFimValor"), QString());
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].text, QStringLiteral("'' is not a valid integer value."));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Error);
    preenche(QStringLiteral("edtColFimValor"), QStringLiteral("80"));

    // The arrows step within the range, without a leading zero, and put the
    // focus into their box.
    caixas_->boxes.clear();
    preenche(QStringLiteral("edtLinhaValor"), QStringLiteral("19"));
    UpDown *setas = controle<UpDown>(QStringLiteral("udLinhaValor"));
    setas->click(UpDown::Button::Up);
    QCOMPARE(linha->text(), QStringLiteral("20"));
    setas->click(UpDown::Button::Up);
    QCOMPARE(linha->text(), QStringLiteral("20"));
    QVERIFY(linha->hasFocus());
    preenche(QStringLiteral("edtColIniDia"), QStringLiteral("05"));
    controle<UpDown>(QStringLiteral("udColIniDia"))->click(UpDown::Button::Down);
    QCOMPARE(caixa(QStringLiteral("edtColIniDia"))->text(), QStringLiteral("4"));
    sai(QStringLiteral("edtColIniDia"));
    QCOMPARE(caixa(QStringLiteral("edtColIniDia"))->text(), QStringLiteral("04"));
    QVERIFY(caixas_->boxes.isEmpty());
    clica(QStringLiteral("btCancelar"));
}

void TestBancos::leiauteForaDeOrdemNaoGrava()
{
    clica(QStringLiteral("btNovo"));
    preenche(QStringLiteral("edtNumeroBanco"), QStringLiteral("104"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Caixa"));
    preenche(QStringLiteral("edtLinhaExtenso1"), QStringLiteral("01"));
    clica(QStringLiteral("btSalvar"));

    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::Warning);
    QCOMPARE(caixas_->boxes[0].text,
             QStringLiteral("A linha do campo \"Valor\" deve ser preenchida com um valor menor que a linha do "
                            "campo \"1ª Linha Extenso\" ."));
    QVERIFY(caixa(QStringLiteral("edtLinhaValor"))->hasFocus());
    QCOMPARE(linhaDe(QStringLiteral("104")), -1);
    QVERIFY(edicaoLigada());

    // Typing into a box and pressing "Salvar" runs the box's leave rule
    // first: an emptied box stops the save with its conversion error alone.
    caixas_->boxes.clear();
    preenche(QStringLiteral("edtLinhaExtenso1"), QStringLiteral("5"));
    QLineEdit *ano = caixa(QStringLiteral("edtColIniAno"));
    ano->setFocus(Qt::TabFocusReason);
    ano->selectAll();
    QTest::keyClick(ano, Qt::Key_Backspace);
    clica(QStringLiteral("btSalvar"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->lastText(), QStringLiteral("'' is not a valid integer value."));
    QCOMPARE(linhaDe(QStringLiteral("104")), -1);
    clica(QStringLiteral("btCancelar"));
}

void TestBancos::excluirPergunta()
{
    insereBanco(QStringLiteral("399"), QStringLiteral("HSBC"));
    seleciona(QStringLiteral("399"));
    caixas_->answers = {false};
    clica(QStringLiteral("btExcluir"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[0].text, QStringLiteral("Deseja realmente excluir o banco?"));
    QVERIFY(linhaDe(QStringLiteral("399")) >= 0);

    caixas_->answers = {true};
    clica(QStringLiteral("btExcluir"));
    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE(linhaDe(QStringLiteral("399")), -1);
    QCOMPARE(dm_->ListaBancos2.locate(QStringLiteral("NUMBANCO"), QStringLiteral("399")), -1);
}

void TestBancos::salvarNaImpressoraProgramaEGrava()
{
    // 341 was stored by an earlier case; this one programs and stores 237.
    ImpressoraVirtual impressora(true);
    if (!impressora.pronta())
        QSKIP("virtual printer not available");
    contexto_.portaCOM = PortaMapeada;
    clica(QStringLiteral("btNovo"));
    preenche(QStringLiteral("edtNumeroBanco"), QStringLiteral("237"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Bradesco"));
    preenche(QStringLiteral("edtSiglaBanco"), QStringLiteral("BRAD"));
    caixas_->answers = {true};
    clica(QStringLiteral("btSalvarImpressora"));

    QCOMPARE(caixas_->boxes.size(), 2);
    QVERIFY(caixas_->boxes[0].question);
    QCOMPARE(caixas_->boxes[0].title, QStringLiteral("Confirmação"));
    QCOMPARE(caixas_->boxes[0].text,
             QStringLiteral("Esta operação irá cadastrar um novo leiaute de banco na impressora. "
                            "Você deseja continuar?"));
    QCOMPARE(caixas_->boxes[1].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas_->boxes[1].text, QStringLiteral("Comando enviado para Impressora"));
    QCOMPARE(caixas_->boxes[1].icon, MessagePresenter::Icon::None);

    // The printer took the whole frame (a shorter or longer one is refused),
    // the bank was stored, and the port was let go.
    const QString log = impressora.log(QStringLiteral("disconnected"));
    QVERIFY2(log.contains(QStringLiteral("ESC L \"237\" \"%1\": layout of bank 237 stored").arg(Padrao)), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("disconnected")), qPrintable(log));
    QCOMPARE(impressora.leiautesGuardados(), QStringList{QStringLiteral("237=") + Padrao});
    QCOMPARE(campo(QStringLiteral("237"), QStringLiteral("POSICOESBANCO")), Padrao);
    QCOMPARE(campo(QStringLiteral("237"), QStringLiteral("NOMEBANCO")), QStringLiteral("Bradesco"));
    QVERIFY(!edicaoLigada());

    // Altering the bank programs it again under the same number.
    seleciona(QStringLiteral("341"));
    clica(QStringLiteral("btAlterar"));
    preenche(QStringLiteral("edtColIniAno"), QStringLiteral("76"));
    caixas_->boxes.clear();
    caixas_->answers = {true};
    clica(QStringLiteral("btSalvarImpressora"));
    QCOMPARE(caixas_->lastText(), QStringLiteral("Comando enviado para Impressora"));
    const QString novoLeiaute = Padrao.left(34) + QStringLiteral("76");
    QVERIFY(impressora.log(novoLeiaute).contains(QStringLiteral("ESC L \"341\" \"%1\"").arg(novoLeiaute)));
    QCOMPARE(campo(QStringLiteral("341"), QStringLiteral("POSICOESBANCO")), novoLeiaute);
}

void TestBancos::salvarNaImpressoraComNumeroCadastrado()
{
    clica(QStringLiteral("btNovo"));
    preenche(QStringLiteral("edtNumeroBanco"), QStringLiteral("1"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Outro"));
    clica(QStringLiteral("btSalvarImpressora"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->lastText(), QStringLiteral("Banco 001 ja cadastrado"));
    QCOMPARE(caixas_->boxes[0].icon, MessagePresenter::Icon::None);
    for (const char *nome : {"btNovo", "btAlterar", "btExcluir"})
        QVERIFY(!controle<QPushButton>(QLatin1String(nome))->isEnabled());
    QCOMPARE(campo(QStringLiteral("001"), QStringLiteral("NOMEBANCO")), QStringLiteral("Banco do Brasil S.A."));
}

void TestBancos::impressoraDesligadaNaoGrava()
{
    ImpressoraVirtual impressora(false);
    if (!impressora.pronta())
        QSKIP("virtual printer not available");
    contexto_.portaCOM = PortaMapeada;
    clica(QStringLiteral("btNovo"));
    preenche(QStringLiteral("edtNumeroBanco"), QStringLiteral("033"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Santander"));
    caixas_->answers = {true};
    clica(QStringLiteral("btSalvarImpressora"));

    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE(caixas_->lastText(), QStringLiteral("Impressora desconectada ou falha de comunicação"));
    QCOMPARE(caixas_->boxes[1].icon, MessagePresenter::Icon::None);
    QCOMPARE(linhaDe(QStringLiteral("033")), -1);
    const QString log = impressora.log(QStringLiteral("disconnected"));
    QVERIFY2(log.contains(QStringLiteral("disconnected")), qPrintable(log));
    QVERIFY(!log.contains(QStringLiteral("ESC L")));
    QVERIFY(impressora.leiautesGuardados().isEmpty());
    QVERIFY(edicaoLigada());
}

void TestBancos::salvarNaImpressoraSemNomeOuNumero()
{
    ImpressoraVirtual impressora(true);
    if (!impressora.pronta())
        QSKIP("virtual printer not available");
    contexto_.portaCOM = PortaMapeada;

    // No name: the layout goes to the printer, the save refuses the bank,
    // and its error ends the command without the printer's notice.
    clica(QStringLiteral("btNovo"));
    preenche(QStringLiteral("edtNumeroBanco"), QStringLiteral("422"));
    caixas_->answers = {true};
    clica(QStringLiteral("btSalvarImpressora"));
    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE(caixas_->lastText(),
             QStringLiteral("Os campos \"Nome do Banco\" e \"Numero do Banco\" devem ser preechidos."));
    QCOMPARE(caixas_->boxes[1].icon, MessagePresenter::Icon::Error);
    QCOMPARE(linhaDe(QStringLiteral("422")), -1);
    QVERIFY(impressora.log(QStringLiteral("disconnected")).contains(QStringLiteral("ESC L \"422\"")));
    QVERIFY(edicaoLigada());
    QVERIFY(controle<QPushButton>(QStringLiteral("btNovo"))->isEnabled());

    // No number: the conversion error, nothing sent or stored, the port
    // let go all the same.
    clica(QStringLiteral("btNovo"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Sem número"));
    caixas_->boxes.clear();
    caixas_->answers = {true};
    clica(QStringLiteral("btSalvarImpressora"));
    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE(caixas_->lastText(), QStringLiteral("'' is not a valid integer value."));
    QCOMPARE(caixas_->boxes[1].icon, MessagePresenter::Icon::Error);
    QTRY_COMPARE(impressora.log(QString()).count(QStringLiteral("disconnected")), 2);
    QCOMPARE(impressora.log(QString()).count(QStringLiteral("ESC L")), 1);
    QCOMPARE(impressora.leiautesGuardados(), QStringList{QStringLiteral("422=") + Padrao});
    QCOMPARE(linhaDe(QString()), -1);
    clica(QStringLiteral("btCancelar"));
}

void TestBancos::portaQueNaoAbre()
{
    QTemporaryDir vazio;
    qputenv("LUMORA_PORTAS", vazio.filePath(QStringLiteral("nenhuma.ini")).toLocal8Bit());
    // Unmapped: a serial device that this machine lacks.
    contexto_.portaCOM = 250;
    clica(QStringLiteral("btNovo"));
    preenche(QStringLiteral("edtNumeroBanco"), QStringLiteral("033"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Santander"));
    caixas_->answers = {true};
    clica(QStringLiteral("btSalvarImpressora"));
    QCOMPARE(caixas_->boxes.size(), 2);
    QCOMPARE(caixas_->lastText(), QStringLiteral("Falha ao abrir a porta serial"));
    QCOMPARE(linhaDe(QStringLiteral("033")), -1);
}

void TestBancos::cliquesNaJanelaFilha()
{
    // Inside the main window a click on a button of the form hands the
    // focus to the child window's frame; the box being edited is still left
    // by the command itself, as in a window of its own.
    QMdiArea area;
    area.addSubWindow(janela_);
    area.resize(800, 700);
    area.show();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    const auto digita = [this](const char *nome, const char *texto) {
        QLineEdit *box = caixa(QLatin1String(nome));
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QLatin1String(texto));
    };

    // The number is padded before it is looked up.
    clica(QStringLiteral("btNovo"));
    digita("edtNumeroBanco", "1");
    clica(QStringLiteral("btSalvarImpressora"));
    QCOMPARE(caixas_->lastText(), QStringLiteral("Banco 001 ja cadastrado"));
    QVERIFY(!controle<QPushButton>(QStringLiteral("btNovo"))->isEnabled());

    // A click elsewhere on the form leaves the box there and then.
    digita("edtLinhaValor", "7");
    QLabel *rotulo = controle<QLabel>(QStringLiteral("lblValor"));
    QTest::mouseMove(rotulo);
    QTest::mouseClick(rotulo, Qt::LeftButton);
    QCOMPARE(caixa(QStringLiteral("edtLinhaValor"))->text(), QStringLiteral("07"));
    digita("edtLinhaValor", "1");
    QTest::mouseClick(rotulo, Qt::LeftButton);
    QCOMPARE(caixa(QStringLiteral("edtLinhaValor"))->text(), QStringLiteral("01"));

    // A line out of range: its message, then the store with the number.
    caixas_->boxes.clear();
    preenche(QStringLiteral("edtNumeroBanco"), QStringLiteral("104"));
    preenche(QStringLiteral("edtNomeBanco"), QStringLiteral("Caixa"));
    digita("edtLinhaCidade", "25");
    clica(QStringLiteral("btSalvar"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->lastText(), QStringLiteral("Valor Inválido"));
    QCOMPARE(campo(QStringLiteral("104"), QStringLiteral("POSICOESBANCO")),
             Padrao.left(24) + QStringLiteral("25") + Padrao.mid(26));
    QVERIFY(!edicaoLigada());

    // An emptied box: the conversion error after "Salvar" turned the list's
    // buttons on.
    caixas_->boxes.clear();
    clica(QStringLiteral("btNovo"));
    digita("edtColIniAno", "");
    clica(QStringLiteral("btSalvar"));
    QCOMPARE(caixas_->boxes.size(), 1);
    QCOMPARE(caixas_->lastText(), QStringLiteral("'' is not a valid integer value."));
    QVERIFY(edicaoLigada());
    QVERIFY(controle<QPushButton>(QStringLiteral("btNovo"))->isEnabled());
    clica(QStringLiteral("btCancelar"));
    janela_ = nullptr;
}

NORVEL_UI_TEST_MAIN(TestBancos)
#include "test_bancos.moc"
