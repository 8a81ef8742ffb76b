#pragma once

#include "MessagePresenter.h"

// The message seam on QMessageBox: modal boxes over the active window, OK for
// notices, Yes and No (in the program's language) for questions. Installs
// itself for its lifetime.
class QtMessagePresenter final : public MessagePresenter {
public:
    QtMessagePresenter();
    ~QtMessagePresenter() override;
    QtMessagePresenter(const QtMessagePresenter &) = delete;
    QtMessagePresenter &operator=(const QtMessagePresenter &) = delete;

    void show(const QString &title, const QString &text, Icon icon) override;
    bool ask(const QString &title, const QString &text) override;

private:
    MessagePresenter *previous_;
};
