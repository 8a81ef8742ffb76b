#include "JanelaFilha.h"
#include "JanelaModal.h"
#include "DbError.h"
#include "RecordingPresenter.h"
#include "UiTest.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QMdiArea>
#include <QPushButton>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

// A window with two boxes: "a" refuses "x" and warns on "w"; a command
// button that leaves the edited box, one that does not, and one that throws.
class Janela : public JanelaFilha {
public:
    explicit Janela(const Contexto &contexto) : JanelaFilha(contexto, nullptr)
    {
        auto *layout = new QVBoxLayout(this);
        for (QLineEdit **caixa : {&a, &b}) {
            *caixa = new QLineEdit(this);
            layout->addWidget(*caixa);
        }
        for (QPushButton **botao : {&salvar, &cancelar, &falha}) {
            *botao = new QPushButton(this);
            (*botao)->setFocusPolicy(Qt::NoFocus);
            layout->addWidget(*botao);
        }
        regrasSaida().registra(a, [this] {
            ++regraRodou;
            if (a->text() == QLatin1String("x"))
                return RegrasSaida::Resultado::Recusado;
            return a->text() == QLatin1String("w") ? RegrasSaida::Resultado::Aviso : RegrasSaida::Resultado::Aceito;
        });
        comando(salvar, &Janela::salvarClick);
        comando(cancelar, &Janela::cancelarClick);
        comando(falha, &Janela::falhaClick);
    }

    void salvarClick()
    {
        if (regrasSaida().saiDaCaixaEditada(salvar))
            ++salvos;
    }
    void cancelarClick() { ++cancelados; }
    void falhaClick() { throw norvel::db::DbError(QStringLiteral("conexão perdida")); }
    void FormShow() override { ++mostras; }

    QLineEdit *a = nullptr;
    QLineEdit *b = nullptr;
    QPushButton *salvar = nullptr;
    QPushButton *cancelar = nullptr;
    QPushButton *falha = nullptr;
    int regraRodou = 0;
    int salvos = 0;
    int cancelados = 0;
    int mostras = 0;
};

// A dialog whose spin box hands its value to a handler that throws on 13.
class Dialogo : public JanelaModal {
public:
    explicit Dialogo(const Contexto &contexto) : JanelaModal(contexto, nullptr)
    {
        numero = new QSpinBox(this);
        liga(numero, &QSpinBox::valueChanged, &Dialogo::numeroChange);
        liga(numero, &QSpinBox::valueChanged, [this](int valor) { ultimoPorLambda = valor; });
    }

    void numeroChange(int valor)
    {
        if (valor == 13)
            throw std::runtime_error("número proibido");
        recebidos << valor;
    }
    void FormShow() override { ++mostras; }

    QSpinBox *numero = nullptr;
    QList<int> recebidos;
    int ultimoPorLambda = 0;
    int mostras = 0;
};

void edita(QLineEdit *caixa, const QString &texto)
{
    caixa->setFocus(Qt::TabFocusReason);
    caixa->setText(texto);
}

void clica(QPushButton *botao)
{
    QTest::mouseMove(botao);
    QTest::mouseClick(botao, Qt::LeftButton);
}

} // namespace

class TestJanelaFilha : public QObject {
    Q_OBJECT

private slots:
    void regraDeSaida_data();
    void regraDeSaida();
    void tratadorQueFalhaViraRelatorio();
    void dialogoNaMesmaBase();
};

void TestJanelaFilha::regraDeSaida_data()
{
    QTest::addColumn<bool>("naJanelaPrincipal");
    QTest::newRow("janela própria") << false;
    QTest::newRow("dentro da janela principal") << true;
}

void TestJanelaFilha::regraDeSaida()
{
    QFETCH(bool, naJanelaPrincipal);
    RecordingPresenter caixas;
    Contexto contexto;
    QMdiArea area;
    auto *janela = new Janela(contexto);
    if (naJanelaPrincipal) {
        area.addSubWindow(janela);
        area.show();
        QVERIFY(QTest::qWaitForWindowActive(&area));
    } else {
        janela->show();
        QVERIFY(QTest::qWaitForWindowActive(janela));
    }
    QCOMPARE(janela->mostras, 1);

    // Tab away: the rule runs; refused, the focus stays in the box.
    edita(janela->a, QStringLiteral("x"));
    janela->b->setFocus(Qt::TabFocusReason);
    QCOMPARE(janela->regraRodou, 1);
    QVERIFY(janela->a->hasFocus());

    // A command runs the rule of the box being edited once, and stops on a
    // refusal.
    janela->regraRodou = 0;
    clica(janela->salvar);
    QCOMPARE(janela->regraRodou, 1);
    QCOMPARE(janela->salvos, 0);
    QVERIFY(janela->a->hasFocus());

    // A warning puts the focus back but lets the command go on.
    edita(janela->a, QStringLiteral("w"));
    janela->regraRodou = 0;
    clica(janela->salvar);
    QCOMPARE(janela->regraRodou, 1);
    QCOMPARE(janela->salvos, 1);

    edita(janela->a, QStringLiteral("ok"));
    janela->regraRodou = 0;
    clica(janela->salvar);
    QCOMPARE(janela->regraRodou, 1);
    QCOMPARE(janela->salvos, 2);

    // A command that does not leave the box does not run its rule.
    edita(janela->a, QStringLiteral("x"));
    janela->regraRodou = 0;
    clica(janela->cancelar);
    QCOMPARE(janela->cancelados, 1);
    QCOMPARE(janela->regraRodou, 0);
    QVERIFY(caixas.boxes.isEmpty());

    janela->close();
    if (naJanelaPrincipal)
        area.close();
}

void TestJanelaFilha::tratadorQueFalhaViraRelatorio()
{
    RecordingPresenter caixas;
    Contexto contexto;
    auto *janela = new Janela(contexto);
    janela->show();
    clica(janela->falha);
    QCOMPARE(caixas.boxes.size(), 1);
    QCOMPARE(caixas.boxes[0].title, QStringLiteral("Norvel Cheque"));
    QCOMPARE(caixas.boxes[0].text, QStringLiteral("conexão perdida."));
    QCOMPARE(caixas.boxes[0].icon, MessagePresenter::Icon::Error);
    // The window goes on.
    clica(janela->cancelar);
    QCOMPARE(janela->cancelados, 1);
    janela->close();
    VERIFICA_SEM_JANELAS();
}

// A modal dialog gets the first-show hook, the guard for handlers that take
// the signal's arguments, and runs through the message seam.
void TestJanelaFilha::dialogoNaMesmaBase()
{
    RecordingPresenter caixas;
    Contexto contexto;
    {
        Dialogo dialogo(contexto);
        dialogo.setWindowTitle(QStringLiteral("Diálogo"));
        dialogo.show();
        dialogo.hide();
        dialogo.show();
        QCOMPARE(dialogo.mostras, 1);

        dialogo.numero->setValue(7);
        dialogo.numero->setValue(13);
        dialogo.numero->setValue(8);
        QCOMPARE(dialogo.recebidos, (QList<int>{7, 8}));
        QCOMPARE(dialogo.ultimoPorLambda, 8);
        QCOMPARE(caixas.boxes.size(), 1);
        QCOMPARE(caixas.boxes[0].text, QStringLiteral("número proibido."));
        QCOMPARE(caixas.boxes[0].icon, MessagePresenter::Icon::Error);

        caixas.dialogs = {[](QDialog &) { return 1; }};
        QCOMPARE(dialogo.executa(), 1);
        QCOMPARE(caixas.dialogTitles, QStringList{QStringLiteral("Diálogo")});
        QVERIFY(!dialogo.testAttribute(Qt::WA_DeleteOnClose));
    }
    VERIFICA_SEM_JANELAS();
}

NORVEL_UI_TEST_MAIN(TestJanelaFilha)
#include "test_janela_filha.moc"
