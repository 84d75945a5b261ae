#pragma once
// Every user-visible text by numeric identifier. The English texts are built in; a language file
// can replace any of them. Language files are UTF-8 text, one "id<TAB>text" per line, with the
// escapes \n, \t and \\ in the text; blank lines and lines starting with '#' are ignored.

#include <QList>
#include <QString>

#include <cstddef>

// One built-in English text. Each folder keeps the texts it shows in its own Strings.inc and
// adds them from its Strings.cpp when the program starts, so no folder knows another's texts.
struct TxBuiltInText {
    int id;
    const char* text;
};
bool TxAddBuiltInTexts(const TxBuiltInText* texts, size_t count);
// Identifiers that two registered texts share (each folder picks its own; a clash would show one
// folder's text in the other's place).
QList<int> TxBuiltInDuplicates();
template <size_t N>
bool TxAddBuiltInTexts(const TxBuiltInText (&texts)[N])
{
    return TxAddBuiltInTexts(texts, N);
}

// The text with identifier `id`, or an empty string when there is none.
QString TxString(int id);

// TxString(id) with %1, %2, ... replaced by the arguments.
QString TxFormat(int id, const QString& a1);
QString TxFormat(int id, const QString& a1, const QString& a2);

// Replaces texts from a language file; returns false when it cannot be read. Texts the file
// does not name keep their English form.
bool TxLoadLanguageFile(const QString& path);
// Back to the built-in English texts.
void TxResetLanguage();
