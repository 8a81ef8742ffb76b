#pragma once

#include "DialogPresenter.h"
#include "MessagePresenter.h"

#include <QDialog>
#include <QList>
#include <QPrinter>
#include <QString>

#include <functional>

// Test stand-in for the message seam: records every box and answers
// questions from a queue (No when the queue is empty), the questions with
// Cancel from one of their own (Cancel when empty). File, printer and
// dialog requests are answered from queues of their own; an empty queue
// cancels. Installs itself for its lifetime.
class RecordingPresenter final : public MessagePresenter, public DialogPresenter {
public:
    struct Box {
        QString title;
        QString text;
        Icon icon;
        bool question;
    };

    // Answers one modal dialog: may work its controls, returns its result.
    using DialogAnswer = std::function<int(QDialog &)>;

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

    Answer askYesNoCancel(const QString &title, const QString &text) override
    {
        boxes.append({title, text, Icon::Question, true});
        return choices.isEmpty() ? Answer::Cancel : choices.takeFirst();
    }

    QString saveFileName(const QString &title, const QString &suggested, const QString &filters,
                         QString *chosenFilter) override
    {
        fileRequests.append({title, filters});
        suggestedFiles.append(suggested);
        if (files.isEmpty())
            return {};
        const auto [path, filter] = files.takeFirst();
        if (chosenFilter)
            *chosenFilter = filter;
        return path;
    }

    // A printer answer is the PDF file the "printer" writes to, or empty for
    // a cancelled print dialog.
    bool choosePrinter(QPrinter &printer) override
    {
        ++printerRequests;
        const QString file = printers.isEmpty() ? QString() : printers.takeFirst();
        if (file.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    }

    int runModal(QDialog &dialog) override
    {
        dialogTitles.append(dialog.windowTitle());
        if (dialogs.isEmpty())
            return QDialog::Rejected;
        return dialogs.takeFirst()(dialog);
    }

    QString lastText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }

    QList<Box> boxes;
    QList<bool> answers;
    QList<Answer> choices;
    QList<std::pair<QString, QString>> fileRequests; // title, filters
    QStringList suggestedFiles;
    QList<std::pair<QString, QString>> files;        // path, filter
    int printerRequests = 0;
    QStringList printers;
    QStringList dialogTitles;
    QList<DialogAnswer> dialogs;

private:
    MessagePresenter *previous_;
};
