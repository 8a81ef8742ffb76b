// Renders the user manual (HTML) to the PDF the program opens from its Help
// menu, with a picture of every window taken from the program itself: the
// windows are opened through the main window's commands, offscreen, on a
// scratch register of sample data, filled as a clerk fills them and grabbed.
// The manual names each picture in an <img src="...">; a picture it names
// that was not taken, or one taken that it does not name, fails the run, so
// the text and the pictures cannot drift apart. So does a warning or error
// box during the run: the picture behind it would show the wrong thing.
//
// Run at build time from the program's folder, beside the embedded database
// engine's settings and the report files: gera_manual <manual.html> <saida.pdf>

#include "CaixaBusca.h"
#include "DataLonga.h"
#include "DialogPresenter.h"
#include "MessagePresenter.h"
#include "NorvelApplication.h"
#include "ReportWindows.h"
#include "TestDatabase.h"
#include "uConfiguracoes.h"
#include "uDMNorvelCheque.h"
#include "uPrincipal.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <cstdio>
#include <exception>
#include <functional>
#include <stdexcept>

namespace {

// Every date of the sample register, so that the pictures do not change
// with the day the manual is built.
const QDate Dia(2014, 3, 10);

// A picture takes the text's width at most, and windows are shown a little
// smaller than on screen.
constexpr double LarguraMaxima = 600;
constexpr double Escala = 0.8;

// Answers the program's boxes and modal dialogs: boxes are answered No
// (Cancel where offered) and the warnings and errors among them kept, file
// and printer dialogs cancelled, and each modal dialog handed to the next
// step queued, or cancelled.
class Roteiro final : public MessagePresenter, public DialogPresenter {
public:
    using Passo = std::function<int(QDialog &)>;

    Roteiro() : anterior_(installMessagePresenter(this)) {}
    ~Roteiro() override { installMessagePresenter(anterior_); }
    Roteiro(const Roteiro &) = delete;
    Roteiro &operator=(const Roteiro &) = delete;

    void show(const QString &, const QString &text, Icon icon) override
    {
        if (icon == Icon::Warning || icon == Icon::Error)
            falhas.append(text);
    }
    bool ask(const QString &, const QString &) override { return false; }
    Answer askYesNoCancel(const QString &, const QString &) override { return Answer::Cancel; }
    QString saveFileName(const QString &, const QString &, const QString &, QString *) override { return {}; }
    bool choosePrinter(QPrinter &) override { return false; }
    int runModal(QDialog &dialog) override
    {
        return passos.isEmpty() ? int(QDialog::Rejected) : passos.takeFirst()(dialog);
    }

    QList<Passo> passos;
    QStringList falhas;

private:
    MessagePresenter *anterior_;
};

// The program's windows, driven as a clerk drives them, and their pictures.
class Fotografo {
public:
    Fotografo(TdmNorvelCheque &dados, Roteiro &roteiro) : roteiro_(roteiro)
    {
        principal_.defineDados(dados);
        principal_.resize(1024, 700);
        principal_.show();
        // The boxes' leave rules run only inside the active window.
        principal_.activateWindow();
        const QDeadlineTimer prazo(5000);
        while (!principal_.isActiveWindow() && !prazo.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    const QMap<QString, QImage> &fotos() const { return fotos_; }

    // Runs the main window's command; the child window it brought forward.
    QWidget *abre(const char *acao)
    {
        principal_.findChild<QAction *>(QLatin1String(acao))->trigger();
        QCoreApplication::processEvents();
        QMdiSubWindow *moldura = principal_.areaFilhos()->activeSubWindow();
        if (!moldura)
            throw std::runtime_error(std::string(acao) + " opened no window");
        return moldura->widget();
    }

    // A child window with its frame, as the main window shows it; a modal
    // dialog, which has no frame offscreen, with a title bar drawn as the
    // main window draws its child windows' ones.
    void fotografa(QWidget *janela, const QString &nome)
    {
        QCoreApplication::processEvents();
        if (auto *moldura = qobject_cast<QMdiSubWindow *>(janela->parentWidget()))
            fotos_.insert(nome, moldura->grab().toImage());
        else if (janela->isWindow() && janela != &principal_)
            fotos_.insert(nome, comTitulo(*janela, janela->grab().toImage()));
        else
            fotos_.insert(nome, janela->grab().toImage());
    }
    void fotografaPrincipal(const QString &nome) { fotografa(&principal_, nome); }

    // Typed key by key into a box emptied first, then left with Tab.
    static void digita(QWidget *janela, const char *caixa, const QString &texto)
    {
        QWidget *box = controle(janela, caixa);
        box->setFocus(Qt::TabFocusReason);
        if (auto *linha = qobject_cast<QLineEdit *>(box))
            linha->clear();
        for (const QChar letra : texto) {
            const bool quebra = letra == u'\n';
            for (const QEvent::Type tipo : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent tecla(tipo, quebra ? Qt::Key_Return : Qt::Key_unknown, Qt::NoModifier,
                                quebra ? QString() : QString(letra));
                QCoreApplication::sendEvent(box, &tecla);
            }
        }
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &tab);
    }
    static void escolhe(QWidget *janela, const char *caixa, const QString &texto)
    {
        auto *busca = controle<CaixaBusca>(janela, caixa);
        busca->setCurrentIndex(busca->findText(texto));
    }
    static void clica(QWidget *janela, const char *botao) { controle<QAbstractButton>(janela, botao)->click(); }
    // The query window's list of that date.
    static void consultaDia(QWidget *consulta)
    {
        for (const char *data : {"dtpDataCheque", "dtpDataInicial", "dtpDataFinal"})
            controle<DataLonga>(consulta, data)->setDate(Dia);
        clica(consulta, "btAtualizarConsulta");
    }
    // Opens the grid's first row in the query window's viewer, which
    // passo works.
    void visualizaPrimeira(QWidget *consulta, const char *grade, Roteiro::Passo passo)
    {
        auto *tabela = controle<QTableView>(consulta, grade);
        for (int coluna = 0; coluna < tabela->model()->columnCount(); ++coluna)
            if (!tabela->isColumnHidden(coluna)) {
                tabela->setCurrentIndex(tabela->model()->index(0, coluna));
                break;
            }
        roteiro_.passos.append(std::move(passo));
        clica(consulta, "btVisualizar");
    }
    // A modal dialog's picture, taken while the program runs it.
    Roteiro::Passo fotoDoDialogo(const QString &nome, std::function<void(QDialog &)> prepara = {})
    {
        return [this, nome, prepara](QDialog &dialogo) {
            dialogo.show();
            if (prepara)
                prepara(dialogo);
            fotografa(&dialogo, nome);
            dialogo.hide();
            return int(QDialog::Rejected);
        };
    }

    template <typename T = QWidget> static T *controle(QWidget *janela, const char *nome)
    {
        T *achado = janela->findChild<T *>(QLatin1String(nome));
        if (!achado)
            throw std::runtime_error(std::string("no control ") + nome + " in "
                                     + janela->objectName().toStdString());
        return achado;
    }

private:
    static QImage comTitulo(QWidget &janela, const QImage &conteudo)
    {
        QStyleOptionTitleBar titulo;
        titulo.initFrom(&janela);
        titulo.state |= QStyle::State_Active;
        titulo.titleBarState = QStyle::State_Active;
        titulo.palette.setCurrentColorGroup(QPalette::Active);
        titulo.text = janela.windowTitle();
        titulo.icon = janela.windowIcon();
        titulo.titleBarFlags = Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                               | Qt::WindowCloseButtonHint;
        titulo.subControls = QStyle::SC_TitleBarLabel | QStyle::SC_TitleBarSysMenu | QStyle::SC_TitleBarCloseButton;
        QStyle *estilo = janela.style();
        const int altura = estilo->pixelMetric(QStyle::PM_TitleBarHeight, &titulo, &janela);
        titulo.rect = QRect(0, 0, conteudo.width(), altura);
        QImage imagem(conteudo.width(), altura + conteudo.height(), QImage::Format_ARGB32_Premultiplied);
        imagem.fill(Qt::transparent);
        QPainter pintor(&imagem);
        estilo->drawComplexControl(QStyle::CC_TitleBar, &titulo, &pintor, &janela);
        pintor.drawImage(0, altura, conteudo);
        return imagem;
    }

    Roteiro &roteiro_;
    TfrmPrincipal principal_;
    QMap<QString, QImage> fotos_;
};

// Banks, names and a few cheques and series of one day, for the lists.
void registroDeExemplo(TdmNorvelCheque &dm)
{
    const auto confere = [](const WriteResult &r) {
        if (!r)
            throw std::runtime_error(r.message.toStdString());
        return r.chave;
    };
    const QString leiaute = QStringLiteral("016080050880060180070180125247546075");
    const int itau = confere(dm.insereBanco({0, "341", "Itaú Unibanco", "ITAU", leiaute}, {}));
    confere(dm.insereBanco({0, "237", "Bradesco", "BRAD", leiaute}, {}));
    confere(dm.insereBanco({0, "001", "Banco do Brasil", "BB", leiaute}, {}));
    for (const char *nome : {"Maria das Graças", "Construtora Horizonte Ltda", "José da Conceição"})
        confere(dm.insereCadastro(Cadastro::Favorecido, QString::fromUtf8(nome), {}));
    for (const char *nome : {"Manutenção", "Escritório"})
        confere(dm.insereCadastro(Cadastro::CentroCusto, QString::fromUtf8(nome), {}));
    confere(dm.insereCadastro(Cadastro::Compensacao, QStringLiteral("Compensação local"), {}));

    const struct {
        const char *numero, *favorecido, *valor;
        bool impresso, cancelado;
    } cheques[] = {{"000101", "Maria das Graças", "1500,75", true, false},
                   {"000102", "Construtora Horizonte Ltda", "12800,00", true, false},
                   {"000103", "José da Conceição", "89,90", true, true},
                   {"000104", "Maria das Graças", "420,00", false, false}};
    for (const auto &c : cheques) {
        RegistroCheque cheque;
        cheque.idBanco = itau;
        cheque.agencia = QStringLiteral("0123");
        cheque.conta = QStringLiteral("45678-9");
        cheque.numCheque = QLatin1String(c.numero);
        cheque.favorecido = QString::fromUtf8(c.favorecido);
        cheque.cidade = QStringLiteral("São Paulo");
        cheque.valor = Money::parse(QLatin1String(c.valor)).value();
        cheque.dataEmissao = Dia;
        cheque.jaImpresso = c.impresso;
        if (c.impresso)
            cheque.dataImpressao = Dia;
        cheque.descricao = QStringLiteral("Pagamento de fornecedor");
        const int chave = confere(dm.insereCheque(cheque, {}));
        if (c.cancelado)
            confere(dm.cancelaCheque(chave, {}));
    }

    RegistroPreDatado serie;
    serie.idBanco = itau;
    serie.agencia = QStringLiteral("0123");
    serie.conta = QStringLiteral("45678-9");
    serie.numInicialCheque = QStringLiteral("000200");
    serie.favorecido = QStringLiteral("Construtora Horizonte Ltda");
    serie.cidade = QStringLiteral("São Paulo");
    serie.valor = Money::fromCentavos(360000);
    serie.dataInicialEmissao = Dia;
    serie.numParcelas = 6;
    serie.valorPeriodoImpressao = 1;
    serie.periodoImpressao = QStringLiteral("Mês(es)");
    serie.descricao = QStringLiteral("Reforma do telhado");
    serie.jaImpresso = true;
    serie.dataImpressao = Dia;
    confere(dm.inserePreDatado(serie, {}));
    serie.numInicialCheque = QStringLiteral("000300");
    serie.favorecido = QStringLiteral("Maria das Graças");
    serie.valor = Money::fromCentavos(90000);
    serie.numParcelas = 3;
    serie.descricao = QStringLiteral("Mensalidades do curso");
    serie.jaImpresso = false;
    serie.dataImpressao.reset();
    confere(dm.inserePreDatado(serie, {}));
}

// Every window the manual shows, in the manual's order.
void fotografaJanelas(Fotografo &f, Roteiro &roteiro)
{
    QWidget *avulso = f.abre("actChequeAvulso");
    Fotografo::controle<DataLonga>(avulso, "dtpDataCheque")->setDate(Dia);
    f.fotografaPrincipal(QStringLiteral("principal.png"));
    f.fotografa(f.abre("actConfiguracoes"), QStringLiteral("configuracoes.png"));
    f.fotografa(f.abre("actBanco"), QStringLiteral("bancos.png"));
    f.fotografa(f.abre("actFavorecido"), QStringLiteral("favorecidos.png"));
    QWidget *centros = f.abre("actCentroCusto");
    Fotografo::clica(centros, "btNovo");
    Fotografo::digita(centros, "edtNomeCentroCusto", QStringLiteral("Almoxarifado"));
    f.fotografa(centros, QStringLiteral("centrocusto.png"));
    f.fotografa(f.abre("actTipoCompensacao"), QStringLiteral("compensacao.png"));

    Fotografo::digita(avulso, "edtNumBanco", QStringLiteral("341"));
    Fotografo::digita(avulso, "edtValor", QStringLiteral("150075"));
    Fotografo::digita(avulso, "edtAgencia", QStringLiteral("0123"));
    Fotografo::digita(avulso, "edtConta", QStringLiteral("45678-9"));
    Fotografo::digita(avulso, "edtNumCheque", QStringLiteral("000105"));
    Fotografo::escolhe(avulso, "edtNomeFavorecido", QStringLiteral("Maria das Graças"));
    Fotografo::digita(avulso, "edtDescricao", QStringLiteral("Conserto do portão"));
    Fotografo::escolhe(avulso, "edtCentroCusto", QStringLiteral("Manutenção"));
    f.fotografa(avulso, QStringLiteral("chequeavulso.png"));

    QWidget *serie = f.abre("actChequePreDatado");
    Fotografo::controle<DataLonga>(serie, "dtpDataCheque")->setDate(Dia);
    Fotografo::digita(serie, "edtDescricao", QStringLiteral("Compra de equipamentos"));
    Fotografo::digita(serie, "edtNumBanco", QStringLiteral("341"));
    Fotografo::digita(serie, "edtValor", QStringLiteral("600000"));
    Fotografo::digita(serie, "edtAgencia", QStringLiteral("0123"));
    Fotografo::digita(serie, "edtConta", QStringLiteral("45678-9"));
    Fotografo::digita(serie, "edtNumParcelas", QStringLiteral("12"));
    Fotografo::digita(serie, "edtNumCheque", QStringLiteral("000400"));
    Fotografo::escolhe(serie, "edtNomeFavorecido", QStringLiteral("José da Conceição"));
    Fotografo::controle<QTableWidget>(serie, "grdParcelas")->setCurrentCell(2, 1);
    f.fotografa(serie, QStringLiteral("chequepredatado.png"));
    // "Imprimir Cheques" stores the series and opens the printing run.
    roteiro.passos.append(f.fotoDoDialogo(QStringLiteral("imprimepredatados.png")));
    Fotografo::clica(serie, "btImprimir");

    QWidget *endosso = f.abre("actEndosso");
    Fotografo::digita(endosso, "edtEndosso",
                      QStringLiteral("Pague-se a ordem de\nConstrutora Horizonte Ltda\n\nSão Paulo, 10 de março "
                                     "de 2014\nMaria das Graças"));
    f.fotografa(endosso, QStringLiteral("endosso.png"));

    QWidget *consulta = f.abre("actConsultaAvulso");
    Fotografo::consultaDia(consulta);
    f.fotografa(consulta, QStringLiteral("consultas.png"));
    f.visualizaPrimeira(consulta, "grdCheques", f.fotoDoDialogo(QStringLiteral("visualizacheque.png")));
    // "Gerar Relatorio": its options, then the preview.
    roteiro.passos.append([&f](QDialog &dialogo) {
        auto &opcoes = dynamic_cast<norvel::report::OutputOptionsDialog &>(dialogo);
        f.fotoDoDialogo(QStringLiteral("relatorio-opcoes.png"))(opcoes);
        opcoes.setDestination(norvel::report::OutputOptionsDialog::Destination::Preview);
        return int(QDialog::Accepted);
    });
    roteiro.passos.append(f.fotoDoDialogo(QStringLiteral("relatorio.png"), [](QDialog &previa) {
        previa.resize(1000, 640);
        Fotografo::controle<QAction>(&previa, "actFitWidth")->trigger();
    }));
    Fotografo::clica(consulta, "brRelatorio");

    QWidget *consultaSeries = f.abre("actConsultaPreDatado");
    Fotografo::consultaDia(consultaSeries);
    f.fotografa(consultaSeries, QStringLiteral("consultapredatado.png"));
    f.visualizaPrimeira(consultaSeries, "grdPreDatados", f.fotoDoDialogo(QStringLiteral("visualizapredatado.png")));

    f.fotografa(f.abre("actSobre"), QStringLiteral("sobre.png"));
}

// The pictures into the document, each at its size on screen scaled down to
// fit the text; every picture named, and no other.
bool colocaFotos(QTextDocument &doc, const QMap<QString, QImage> &fotos)
{
    QSet<QString> usadas;
    bool ok = true;
    for (QTextBlock bloco = doc.begin(); bloco.isValid(); bloco = bloco.next()) {
        for (auto it = bloco.begin(); !it.atEnd(); ++it) {
            const QTextFragment pedaco = it.fragment();
            QTextImageFormat formato = pedaco.charFormat().toImageFormat();
            if (!formato.isValid())
                continue;
            const QImage foto = fotos.value(formato.name());
            if (foto.isNull()) {
                std::fprintf(stderr, "gera_manual: no picture %s\n", qPrintable(formato.name()));
                ok = false;
                continue;
            }
            usadas.insert(formato.name());
            doc.addResource(QTextDocument::ImageResource, QUrl(formato.name()), foto);
            const double largura = std::min(LarguraMaxima, foto.width() * Escala);
            formato.setWidth(largura);
            formato.setHeight(foto.height() * largura / foto.width());
            QTextCursor cursor(&doc);
            cursor.setPosition(pedaco.position());
            cursor.setPosition(pedaco.position() + pedaco.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(formato);
        }
    }
    for (auto it = fotos.cbegin(); it != fotos.cend(); ++it) {
        if (!usadas.contains(it.key())) {
            std::fprintf(stderr, "gera_manual: picture %s not in the manual\n", qPrintable(it.key()));
            ok = false;
        }
    }
    return ok;
}

// Lays the manual out on A4 pages at screen resolution with 2 cm margins,
// each heading on the page of the paragraph after it, and paints the pages,
// numbered, scaled to the writer's resolution.
void paginaEImprime(QTextDocument &doc, QPdfWriter &pdf)
{
    constexpr double Dpi = 96;
    constexpr double Margem = 2 / 2.54 * Dpi;
    const QSizeF pagina = QPageSize(QPageSize::A4).sizePoints() * (Dpi / 72);
    QTextFrameFormat raiz = doc.rootFrame()->frameFormat();
    raiz.setMargin(Margem);
    doc.rootFrame()->setFrameFormat(raiz);
    doc.setPageSize(pagina);

    const auto paginaDe = [&doc, &pagina](const QTextBlock &bloco) {
        // The layout runs on demand: up to date once its size is asked. A
        // block is placed in its frame (a table cell's, say), its bounding
        // rectangle's corner in the document; a line that would cross the
        // end of a page is moved down inside its block.
        QAbstractTextDocumentLayout *leiaute = doc.documentLayout();
        leiaute->documentSize();
        const QTextLayout *linhas = bloco.layout();
        const double primeira = linhas->lineCount() > 0 ? linhas->lineAt(0).y() : 0;
        return int((leiaute->blockBoundingRect(bloco).top() + primeira) / pagina.height());
    };
    // A run of headings goes with the paragraph after it, its first heading
    // moved to the next page. Moving one moves what follows it: look again
    // until none moves; each moves once at most.
    const auto titulo = [](const QTextBlock &bloco) { return bloco.blockFormat().headingLevel() > 0; };
    for (bool moveu = true; moveu;) {
        moveu = false;
        for (QTextBlock bloco = doc.begin(); bloco.isValid(); bloco = bloco.next()) {
            if (!titulo(bloco) || titulo(bloco.previous())
                || bloco.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                continue;
            QTextBlock texto = bloco.next();
            while (texto.isValid() && titulo(texto))
                texto = texto.next();
            if (!texto.isValid() || paginaDe(bloco) == paginaDe(texto))
                continue;
            QTextBlockFormat quebra;
            quebra.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(bloco).mergeBlockFormat(quebra);
            moveu = true;
        }
    }

    QPainter pintor(&pdf);
    pintor.scale(pdf.logicalDpiX() / Dpi, pdf.logicalDpiY() / Dpi);
    QFont numero = doc.defaultFont();
    numero.setPixelSize(qRound(numero.pointSizeF() * Dpi / 72));
    pintor.setFont(numero);
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (i > 0)
            pdf.newPage();
        const QRectF area(QPointF(0, i * pagina.height()), pagina);
        pintor.save();
        pintor.translate(0, -area.top());
        doc.drawContents(&pintor, area);
        pintor.restore();
        pintor.drawText(QRectF(0, pagina.height() - Margem + 5, pagina.width() - Margem, Margem),
                        Qt::AlignRight | Qt::AlignTop, QString::number(i + 1));
    }
}

// The offscreen platform says on every window shown that it cannot pass on
// size hints, which nothing here needs; everything else is written as ever.
QtMessageHandler mensagensAnterior = nullptr;
void semAvisoDeTamanho(QtMsgType tipo, const QMessageLogContext &contexto, const QString &texto)
{
    if (!texto.contains(QLatin1String("propagateSizeHints")))
        mensagensAnterior(tipo, contexto, texto);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s <manual.html> <saida.pdf>\n", argv[0]);
        return 2;
    }
    // Nothing of the user's: settings of its own, no screen.
    QTemporaryDir pasta;
    qputenv("XDG_CONFIG_HOME", pasta.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", pasta.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    mensagensAnterior = qInstallMessageHandler(semAvisoDeTamanho);
    NorvelApplication app(argc, argv);

    QFile html(QString::fromLocal8Bit(argv[1]));
    if (!html.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(html.errorString()));
        return 1;
    }

    QMap<QString, QImage> fotos;
    Roteiro roteiro;
    try {
        QFile configuracao(arquivoConfiguracao());
        if (!QDir().mkpath(QFileInfo(configuracao).absolutePath()) || !configuracao.open(QIODevice::WriteOnly))
            throw std::runtime_error(configuracao.errorString().toStdString());
        configuracao.write("[Sistema]\nPortaCOM=COM1\nCidade=São Paulo\n");
        configuracao.close();
        norvel::db::TestDatabase base;
        TdmNorvelCheque dados;
        dados.DataModuleCreate();
        registroDeExemplo(dados);
        Fotografo fotografo(dados, roteiro);
        fotografaJanelas(fotografo, roteiro);
        fotos = fotografo.fotos();
    } catch (const std::exception &erro) {
        std::fprintf(stderr, "gera_manual: %s\n", erro.what());
        return 1;
    }
    if (!roteiro.falhas.isEmpty()) {
        std::fprintf(stderr, "gera_manual: %s\n", qPrintable(roteiro.falhas.join(u'\n')));
        return 1;
    }

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    doc.setHtml(QString::fromUtf8(html.readAll()));
    if (!colocaFotos(doc, fotos))
        return 1;

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("Manual Norvel Cheque"));
    pdf.setCreator(QStringLiteral("Norvel Cheque"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    paginaEImprime(doc, pdf);
    return 0;
}
