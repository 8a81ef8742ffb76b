#include "MessagePresenter.h"

namespace {

class SilentPresenter final : public MessagePresenter {
public:
    void show(const QString &, const QString &, Icon) override {}
    bool ask(const QString &, const QString &) override { return false; }
    Answer askYesNoCancel(const QString &, const QString &) override { return Answer::Cancel; }
    QString saveFileName(const QString &, const QString &, const QString &, QString *) override { return {}; }
};

SilentPresenter silent;
MessagePresenter *current = &silent;

} // namespace

MessagePresenter &messages() { return *current; }

MessagePresenter *installMessagePresenter(MessagePresenter *presenter)
{
    MessagePresenter *previous = current == &silent ? nullptr : current;
    current = presenter ? presenter : &silent;
    return previous;
}
