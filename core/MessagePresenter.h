#pragma once

#include <QString>

// The one road from the program to the user for everything modal: message
// boxes and the file to save here; the printer to print on and the
// program's own modal dialogs in its other half, on the widgets' side
// (DialogPresenter, ui/aplicacao). Windows and print jobs call messages();
// the program installs a presenter built on Qt's dialogs, tests install a
// recorder that logs each call and answers from a script.
class MessagePresenter {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Answer { Yes, No, Cancel };

    virtual ~MessagePresenter() = default;

    // A modal box with an OK button.
    virtual void show(const QString &title, const QString &text, Icon icon) = 0;
    // A modal box with Yes and No and a question icon; true for Yes.
    virtual bool ask(const QString &title, const QString &text) = 0;
    // A modal box with Yes, No and Cancel and a question icon; closing it
    // otherwise is Cancel.
    virtual Answer askYesNoCancel(const QString &title, const QString &text) = 0;

    // The path the user chose to save a file under, starting from suggested;
    // filters as QFileDialog takes them ("Adobe Acrobat (PDF) (*.pdf);;...").
    // chosenFilter, when given, receives the filter picked. Empty when the
    // user cancelled.
    virtual QString saveFileName(const QString &title, const QString &suggested, const QString &filters,
                                 QString *chosenFilter) = 0;
};

// The installed presenter. Until one is installed, a presenter that shows
// nothing, answers No (Cancel where offered) and cancels every file dialog
// stands in, so no code path can hang on a box.
MessagePresenter &messages();
// Installs presenter (not owned; nullptr restores the silent one) and
// returns the one it replaces.
MessagePresenter *installMessagePresenter(MessagePresenter *presenter);
