#pragma once

#include "MessagePresenter.h"

#include <QList>
#include <QString>

// Test stand-in for the message seam: records every box and answers
// questions from a queue (No when the queue is empty). Installs itself for
// its lifetime.
class RecordingPresenter final : public MessagePresenter {
public:
    struct Box {
        QString title;
        QString text;
        Icon icon;
        bool question;
    };

    RecordingPresenter() : previous_(installMessagePresenter(this)) {}
    ~RecordingPresenter() override { installMessagePresenter(previous_); }
    RecordingPresenter(const RecordingPresenter &) = delete;
    RecordingPresenter &operator=(const RecordingPresenter &) = delete;

    void show(const QString &title, const QString &text, Icon icon) override
    {
        boxes.append({title, text, icon, false});
    }

    bool ask(const QString &title, const QString &text) override
    {
        boxes.append({title, text, Icon::Question, true});
        return answers.isEmpty() ? false : answers.takeFirst();
    }

    QString lastText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }

    QList<Box> boxes;
    QList<bool> answers;

private:
    MessagePresenter *previous_;
};
