#pragma once

#include "DialogPresenter.h"
#include "MessagePresenter.h"

// The message seam on Qt's dialogs: modal boxes over the active window, OK
// for notices, Yes and No (and Cancel) in the program's language for
// questions; the file and print dialogs; the program's dialogs run with
// exec(). Installs itself for its lifetime.
class QtMessagePresenter final : public MessagePresenter, public DialogPresenter {
public:
    QtMessagePresenter();
    ~QtMessagePresenter() override;
    QtMessagePresenter(const QtMessagePresenter &) = delete;
    QtMessagePresenter &operator=(const QtMessagePresenter &) = delete;

    void show(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text) override;
    Answer askYesNoCancel(const QString &title, const QString &text) override;
    QString saveFileName(const QString &title, const QString &suggested, const QString &filters,
                         QString *chosenFilter) override;
    bool choosePrinter(QPrinter &printer) override;
    int runModal(QDialog &dialog) override;

private:
    MessagePresenter *previous_;
};
