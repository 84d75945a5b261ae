#pragma once
// CTXArchive: the little-endian record stream of documents, colour scales and undo steps.
//
// One archive is either storing (appending to a byte array) or loading (reading a byte array),
// and every persistent object transfers its fields through the same calls in both directions:
// ar.Int32(x) writes x when storing and reads into x when loading. That keeps the writer and the
// reader of a record from drifting apart.
//
// Loading never reads past the end: a short record raises CTXArchiveError::EndOfFile. Counts that
// precede arrays are checked against the bytes that remain before anything is allocated, so a
// corrupt count cannot make the reader allocate more than the input could hold.
//
// Strings are length-prefixed Windows-1252 text: one length byte below 255; else 0xFF and a
// uint16 below 0xFFFE; else 0xFF, 0xFFFF and a uint32. A reader also accepts the UTF-16 form,
// introduced by 0xFF 0xFFFE and followed by a prefix of the same kind counting 16-bit units.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <type_traits>

#include "util/TxTypes.h"

class CTXArchiveError : public std::runtime_error {
public:
    enum Kind { EndOfFile, BadFormat };
    CTXArchiveError(Kind kind, const char* what) : std::runtime_error(what), m_kind(kind) {}
    CTXArchiveError(Kind kind, const char* what, const QString& userReason)
        : std::runtime_error(what), m_kind(kind), m_userReason(userReason) {}
    Kind kind() const { return m_kind; }
    // The record or field that failed, as a text for the user; empty when there is none.
    const QString& UserReason() const { return m_userReason; }

private:
    Kind m_kind;
    QString m_userReason;
};

class CTXArchive {
public:
    // Storing: appends to *out.
    explicit CTXArchive(QByteArray* out);
    // Loading: reads data[0..size); the bytes must outlive the archive.
    CTXArchive(const char* data, qsizetype size);
    explicit CTXArchive(const QByteArray& in) : CTXArchive(in.constData(), in.size()) {}

    bool IsStoring() const { return m_out != nullptr; }
    bool IsLoading() const { return m_out == nullptr; }

    void Int32(int32_t& v);
    void UInt32(uint32_t& v);
    void UInt16(uint16_t& v);
    void UInt8(uint8_t& v);
    void Float(float& v);
    void String(QString& s);
    void Bytes(void* p, qsizetype n);

    template <class T>
    void Raw(T& record)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        Bytes(&record, sizeof(T));
    }

    // `count` floats: stored as they are, or loaded into `a` resized to `count`. The count must
    // already be known (it is checked against the remaining bytes when loading).
    void Floats(CTXFloatArray& a, int32_t count);

    // A count word that precedes `elementSize`-byte elements: when loading, a negative count or
    // one that the remaining bytes cannot hold is a format error.
    void Count(int32_t& n, qsizetype elementSize);

    // Store-only shorthands for values that are computed, not held.
    void PutInt32(int32_t v) { Int32(v); }
    void PutFloat(float v) { Float(v); }
    // Load-only shorthands.
    int32_t GetInt32();
    float GetFloat();

    qsizetype Position() const { return m_pos; }
    qsizetype Remaining() const { return m_size - m_pos; }
    // Fails with a format error unless `n` more bytes can be read.
    void Require(qsizetype n) const;

    [[noreturn]] static void FailFormat(const char* what);
    // A format error whose reason is shown to the user after "Unexpected file format.".
    [[noreturn]] static void FailFormat(const char* what, const QString& userReason);

private:
    void Write(const void* p, qsizetype n);
    void Read(void* p, qsizetype n);
    uint32_t ReadLengthPrefix();
    void WriteLengthPrefix(uint32_t n);

    QByteArray* m_out = nullptr;
    const char* m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
};
