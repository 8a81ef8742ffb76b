#pragma once

#include "Contexto.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QUrl;

namespace Ui {
class TfrmPrincipal;
}

// The program's one main window: menu, tool bar and the client area that
// holds every other screen. It keeps the printer's port number and the
// default city in the context it hands to the other screens, which read them
// there at the moment of use instead of reading the settings file.
class TfrmPrincipal : public QMainWindow {
    Q_OBJECT

public:
    // Reads the port number and the default city from the settings.
    explicit TfrmPrincipal(QWidget *parent = nullptr);
    ~TfrmPrincipal() override;

    int portaCOM() const { return contexto_.portaCOM; }
    QString cidadePadrao() const { return contexto_.cidadePadrao; }
    // Handed to every child window; the settings window's saves update it.
    const Contexto &contexto() const { return contexto_; }
    // The data module every window opened after this call works on.
    void defineDados(TdmNorvelCheque &dados) { contexto_.dados = &dados; }

    enum class Posicao { Padrao, Centralizada };
    // Puts filho into the client area as a child window and shows it (a
    // JanelaFilha frees itself when closed); a fixed-size widget gets a fixed
    // frame without a maximise button.
    QMdiSubWindow *mostraFilho(QWidget *filho, Posicao posicao = Posicao::Padrao);
    // Single-instance screens: brings forward the open child whose
    // objectName is nome, or shows the one cria() makes.
    void abreUnico(const QString &nome, const std::function<QWidget *()> &cria,
                   Posicao posicao = Posicao::Padrao);
    QMdiArea *areaFilhos() const;

    // Hands a document to the desktop's default viewer. Tests replace it so
    // that no viewer is started.
    std::function<bool(const QUrl &)> abreDocumento;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void nomeiaBotoes();
    // Connects a command, guarded: no exception leaves it.
    void ligaAcao(QAction *acao, std::function<void()> tratador);
    void actSairClick();
    void actConfiguracoesClick();
    void actManualClick();
    void actSobreClick();

    std::unique_ptr<Ui::TfrmPrincipal> ui;
    Contexto contexto_;
    bool sairSemPerguntar_ = false;
};
