#include <gtest/gtest.h>

#include "util/Archive.h"
#include "util/Codepage.h"

namespace {

QByteArray Store(QString s)
{
    QByteArray bytes;
    CTXArchive ar(&bytes);
    ar.String(s);
    return bytes;
}

QString Load(const QByteArray& bytes, qsizetype* consumed = nullptr)
{
    CTXArchive ar(bytes);
    QString s;
    ar.String(s);
    if (consumed)
        *consumed = ar.Position();
    return s;
}

struct PrefixCase {
    const char* name;
    int length;
    QByteArray prefix;
};

class StringPrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(StringPrefixTest, WritesTheShortestPrefixAndReadsItBack)
{
    const PrefixCase& c = GetParam();
    const QString text(c.length, u'a');
    const QByteArray bytes = Store(text);
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
    EXPECT_EQ(bytes.left(c.prefix.size()), c.prefix);
    qsizetype consumed = 0;
    EXPECT_EQ(Load(bytes, &consumed), text);
    EXPECT_EQ(consumed, bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, StringPrefixTest,
    ::testing::Values(PrefixCase{"empty", 0, QByteArray("\x00", 1)},
                      PrefixCase{"one_byte_max", 254, QByteArray("\xFE")},
                      PrefixCase{"word_min", 255, QByteArray("\xFF\xFF\x00", 3)},
                      PrefixCase{"word_max", 0xFFFD, QByteArray("\xFF\xFD\xFF")},
                      PrefixCase{"dword_at_FFFE", 0xFFFE, QByteArray("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
                      PrefixCase{"dword_large", 70000, QByteArray("\xFF\xFF\xFF\x70\x11\x01\x00", 7)}),
    [](const auto& info) { return info.param.name; });

TEST(Archive, ReadsTheUtf16Form)
{
    // 0xFF 0xFFFE marks 16-bit characters, then a prefix counting 16-bit units.
    const QByteArray bytes("\xFF\xFE\xFF\x03" "d\x00" "\xE9\x00" "f\x00", 10);
    qsizetype consumed = 0;
    EXPECT_EQ(Load(bytes, &consumed), QString::fromUtf8("d\xC3\xA9" "f"));
    EXPECT_EQ(consumed, 10);
}

TEST(Archive, StringsAreWindows1252OnDisk)
{
    const QString text = QString::fromUtf8("\xE2\x82\xAC 5 \xC2\xB0" "C");  // "€ 5 °C"
    const QByteArray bytes = Store(text);
    EXPECT_EQ(bytes, QByteArray("\x06\x80 5 \xB0" "C"));
    EXPECT_EQ(Load(bytes), text);
}

TEST(Archive, TruncatedInputIsEndOfFile)
{
    const QByteArray full = Store(QStringLiteral("hello"));
    for (qsizetype cut = 0; cut < full.size(); ++cut) {
        try {
            Load(full.left(cut));
            ADD_FAILURE() << "cut at " << cut << " was accepted";
        } catch (const CTXArchiveError& e) {
            EXPECT_EQ(e.kind(), CTXArchiveError::EndOfFile);
        }
    }
}

TEST(Archive, StringLengthBeyondTheInputIsRefusedBeforeAllocating)
{
    const QByteArray bytes("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7);  // 2 GiB string in 7 bytes
    EXPECT_THROW(Load(bytes), CTXArchiveError);
}

struct CountCase {
    const char* name;
    int32_t count;
    qsizetype available;
    bool accepted;
};

class CountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountTest, ChecksTheRemainingBytes)
{
    const CountCase& c = GetParam();
    QByteArray bytes;
    CTXArchive out(&bytes);
    out.PutInt32(c.count);
    bytes.append(QByteArray(c.available, '\0'));
    CTXArchive in(bytes);
    int32_t n = 0;
    if (c.accepted) {
        EXPECT_NO_THROW(in.Count(n, 8));
        EXPECT_EQ(n, c.count);
    } else {
        EXPECT_THROW(in.Count(n, 8), CTXArchiveError);
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, CountTest,
                         ::testing::Values(CountCase{"fits", 3, 24, true}, CountCase{"zero", 0, 0, true},
                                           CountCase{"one_short", 3, 23, false},
                                           CountCase{"negative", -1, 100, false},
                                           CountCase{"huge", 0x7FFFFFFF, 64, false}),
                         [](const auto& info) { return info.param.name; });

TEST(Archive, FloatsAreTheirFourBytes)
{
    QByteArray bytes;
    CTXArchive out(&bytes);
    float nan = std::numeric_limits<float>::quiet_NaN();
    float v = 1.5f;
    out.Float(v);
    out.Float(nan);
    EXPECT_EQ(bytes.left(4), QByteArray("\x00\x00\xC0\x3F", 4));
    CTXArchive in(bytes);
    float a = 0, b = 0;
    in.Float(a);
    in.Float(b);
    EXPECT_EQ(a, 1.5f);
    EXPECT_EQ(std::memcmp(&b, &nan, 4), 0);
}

TEST(Codepage, Cp850MapsAccentsAndReplacesTheUnknown)
{
    EXPECT_EQ(ToCp850(QString::fromUtf8("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC")), QByteArray("\x82t\x82 ?"));
    EXPECT_EQ(FromCp850(QByteArray("\x82")), QString::fromUtf8("\xC3\xA9"));
}

}  // namespace
