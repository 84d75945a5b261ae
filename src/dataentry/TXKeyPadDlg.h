#pragma once
// The on-screen keypad and the number fields that open it with a double click.
//
// CEditKeyPadInteger and CEditKeyPadReal are line edits; a double click opens CTXKeyPad with a
// copy of the text. OK on the keypad writes the text back and emits changedByKeyPad with the
// field's control identifier, so the dialog can apply the value at once; Cancel changes nothing.

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>

#include "dataentry/KeyPadModel.h"

class CKeyPadButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Glyph { Text, CheckMark, Cross };
    CKeyPadButton(const QString& text, Glyph glyph, QWidget* parent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Glyph m_glyph;
};

class CTXKeyPad : public QDialog {
    Q_OBJECT
public:
    // `decimal` is the field's decimal separator: the "." key types it and OK accepts it.
    CTXKeyPad(KeyPadMode mode, const QString& text, bool acceptEmpty, QWidget* parent = nullptr,
              const QString& decimal = QStringLiteral("."));

    QString Text() const;
    QLineEdit* Line() const { return m_line; }
    // The button that shows `label` ("0".."9", ".", "+/-", "OK", "Cancel"), or null.
    CKeyPadButton* Button(const QString& label) const;
    // Moves the keypad next to a field given in screen coordinates, inside that field's screen.
    void PlaceNear(const QRect& fieldOnScreen);

public slots:
    void accept() override;

private:
    void TypeCharacter(QChar c);
    void ToggleSign();

    KeyPadMode m_mode;
    bool m_acceptEmpty;
    QString m_decimal;
    QLineEdit* m_line = nullptr;
};

class CEditKeyPad : public QLineEdit {
    Q_OBJECT
public:
    CEditKeyPad(KeyPadMode mode, QWidget* parent);

    KeyPadMode Mode() const { return m_mode; }
    void SetControlId(int id) { m_controlId = id; }
    int ControlId() const { return m_controlId; }
    void SetAcceptEmpty(bool accept) { m_acceptEmpty = accept; }
    bool AcceptsEmpty() const { return m_acceptEmpty; }
    // The decimal separator the field's text uses: its locale's unless set (a field that always
    // shows "." sets it).
    void SetDecimalSeparator(const QString& decimal) { m_decimal = decimal; }
    QString DecimalSeparator() const;

    // Runs the keypad on the field's text; returns true when the user pressed OK.
    bool OpenKeyPad();

signals:
    void changedByKeyPad(int controlId);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    KeyPadMode m_mode;
    int m_controlId = 0;
    bool m_acceptEmpty = false;
    QString m_decimal;  // empty: the field's locale decides
};

class CEditKeyPadInteger : public CEditKeyPad {
    Q_OBJECT
public:
    explicit CEditKeyPadInteger(QWidget* parent = nullptr) : CEditKeyPad(KeyPadMode::Integer, parent) {}
};

class CEditKeyPadReal : public CEditKeyPad {
    Q_OBJECT
public:
    explicit CEditKeyPadReal(QWidget* parent = nullptr) : CEditKeyPad(KeyPadMode::Real, parent) {}
};
