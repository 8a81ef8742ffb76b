#pragma once

#include <QString>

// The one road from the program to the user for message boxes. Windows and
// print jobs call messages(); the program installs a presenter built on
// QMessageBox, tests install a recorder that logs each call and answers
// questions from a script.
class MessagePresenter {
public:
    enum class Icon { None, Information, Warning, Error, Question };

    virtual ~MessagePresenter() = default;

    // A modal box with an OK button.
    virtual void show(const QString &title, const QString &text, Icon icon) = 0;
    // A modal box with Yes and No and a question icon; true for Yes.
    virtual bool ask(const QString &title, const QString &text) = 0;
};

// The installed presenter. Until one is installed, a presenter that shows
// nothing and answers No stands in, so no code path can hang on a box.
MessagePresenter &messages();
// Installs presenter (not owned; nullptr restores the silent one) and
// returns the one it replaces.
MessagePresenter *installMessagePresenter(MessagePresenter *presenter);
