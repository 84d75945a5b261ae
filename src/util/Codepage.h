#pragma once
// Conversions between QString and the 8-bit code pages the file formats use: Windows-1252 for
// strings in documents and undo steps, OEM 850 for DIF cells. Characters a code page cannot hold
// become '?'.

#include <QByteArray>
#include <QString>

QByteArray ToCp1252(const QString& text);
QString FromCp1252(const QByteArray& bytes);

QByteArray ToCp850(const QString& text);
QString FromCp850(const QByteArray& bytes);
