#pragma once

#include <QChar>
#include <QString>

#include <array>
#include <optional>

// One bank's cheque layout: where the printer puts each cheque field on that
// bank's form. 18 numbers, each held, shown, compared and sent as exactly
// two decimal digits ("07"); the 36 digits run together are what BANCOS.
// POSICOESBANCO stores and what PrinterSession::programBankLayout sends.
//
// The bank screen holds one QLineEdit per field, found by info(f).box, and
// one up-down control per field, info(f).spinner, and drives them so:
//   key press     acceptsKey(key) decides; the box holds at most MaxBoxLength
//   up-down click box = stepped(f, box, +1 or -1); focus into the box
//   leaving a box r = leave(f, box); box = r.text; on OutOfRange show
//                 r.message ("Valor Inválido") and put the focus back; on
//                 NotANumber raise r.message to the general error report
//   Salvar        move the focus to "Salvar" first (so the edited box runs
//                 its leave rule), collect the 18 texts with setText(), then
//                 validate(); on a problem show a warning box "Norvel Cheque"
//                 with problem->message and focus problem->focusBox;
//                 otherwise store / program encode()
//   showing       decode(POSICOESBANCO), text(f) into each box
//   "Novo"        BankLayout() gives the defaults
class BankLayout {
public:
    enum Field {
        LinhaValor, ColIniValor, ColFimValor,
        LinhaExtenso1, ColIniExtenso1, ColFimExtenso1,
        LinhaExtenso2, ColIniExtenso2, ColFimExtenso2,
        LinhaFavorecido, ColIniFavorecido, ColFimFavorecido,
        LinhaCidade, ColFimCidade,
        ColIniNumCheque, ColIniDia, ColIniMes, ColIniAno,
        FieldCount
    };

    struct FieldInfo {
        QString name;        // "LinhaValor"
        QString box;         // objectName of the edit box, "edtLinhaValor"
        QString spinner;     // objectName of the up-down, "udLinhaValor"
        QString group;       // screen group caption, "Valor:"
        QString label;       // label beside the box, "Linha:"
        int minimum;         // lines 1..20, columns 0..80
        int maximum;
        QString defaultText; // a new bank's value, "01"
    };

    static constexpr int TextLength = 2 * FieldCount; // 36
    static constexpr int MaxBoxLength = 2;

    static const FieldInfo &info(Field field);

    // A new bank's layout: the defaults, encoding to
    // 016080050880060180070180125247546075.
    BankLayout();

    // Splits a stored text into 18 pieces of two characters, unchanged. A
    // text shorter than 36 leaves the later pieces short or empty; characters
    // after the 36th are ignored.
    static BankLayout decode(const QString &stored);
    // The 18 texts run together; 36 characters once validate() accepts it.
    QString encode() const;

    const QString &text(Field field) const { return texts_[field]; }
    void setText(Field field, const QString &text) { texts_[field] = text; }

    // What stops a layout from being stored or programmed: the message to
    // show and the objectName of the box to focus.
    struct Problem {
        QString message;
        QString focusBox;
    };
    // Every box holding two digits, so no text other than 36 digits is ever
    // stored or sent (the message names the first box that does not); then
    // the twelve order rules in their order, each requiring its first field's
    // text to be smaller than its second's (as text; equal breaks it). Ranges
    // are not checked again. nullopt when all hold.
    std::optional<Problem> validate() const;

    // Entry rules of one box.
    // While typing: the digits and backspace only.
    static bool acceptsKey(QChar key);
    // An up-down click: the box's number moved by steps within the field's
    // range, without a leading zero. A box without a number starts from the
    // bottom of the range.
    static QString stepped(Field field, const QString &text, int steps);

    struct LeaveResult {
        enum Outcome {
            Accepted,   // text is the two-digit form ("7" gives "07")
            OutOfRange, // text unchanged, message "Valor Inválido"
            NotANumber, // text unchanged, message "'' is not a valid integer value"
        };
        Outcome outcome;
        QString text;
        QString message;
    };
    // Focus leaving a box.
    static LeaveResult leave(Field field, const QString &text);

private:
    std::array<QString, FieldCount> texts_;
};
