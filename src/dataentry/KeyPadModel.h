#pragma once
// What the on-screen keypad decides: whether its text is a number of its mode, what "+/-" makes
// of it, and where the keypad opens next to the field that called it.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

enum class KeyPadMode { Integer, Real };

// `decimal` is the decimal separator of the field that opened the keypad: a field showing the
// locale's "0,333" is read with ","; "." is always accepted as well, but never both in one text.
class CKeyPadModel {
public:
    // A whole number within the 32-bit range, blanks around it allowed.
    static bool ParseInteger(const QString& text, int* value);
    // A finite real number, blanks around it allowed; the whole text must be the number.
    static bool ParseReal(const QString& text, double* value, const QString& decimal = QStringLiteral("."));

    // The identifier of the standard prompt of the mode ("Enter an integer." / "Enter a number.").
    static int PromptId(KeyPadMode mode);
    // 0 when OK may close the keypad with `text`, else the prompt to show.
    static int Validate(const QString& text, KeyPadMode mode, bool acceptEmpty,
                        const QString& decimal = QStringLiteral("."));
    // "+/-": the negated number in the standard format of the mode, with the separator the text
    // used; false when `text` is not a number of the mode (the caller shows PromptId and leaves
    // the text alone).
    static bool Negate(const QString& text, KeyPadMode mode, QString* result,
                       const QString& decimal = QStringLiteral("."));

    // Top-left corner of a keypad of size `pad` for a field at `field` (both in screen
    // coordinates) on the screen area `screen`: centred under the field, kept inside the screen
    // horizontally, above the field when there is no room below.
    static QPoint Placement(const QRect& field, const QSize& pad, const QRect& screen);
};
