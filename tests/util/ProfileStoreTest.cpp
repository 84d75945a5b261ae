#include <gtest/gtest.h>

#include <ostream>

#include <QSettings>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

#include "../support/CommaLocale.h"
#include "util/KWProfileStore.h"

namespace {

class ProfileStoreTest : public ::testing::Test {
protected:
    QString Ini() const { return dir.filePath(QStringLiteral("profile.ini")); }
    std::unique_ptr<CKWProfileStore> Open() const
    {
        return std::make_unique<CKWProfileStore>(std::make_unique<QSettings>(Ini(), QSettings::IniFormat));
    }
    QVariant Raw(const QString& key) const { return QSettings(Ini(), QSettings::IniFormat).value(key); }

    QTemporaryDir dir;
};

TEST_F(ProfileStoreTest, ReadsOnceAndWritesBackOnlyAtTheEnd)
{
    {
        QSettings s(Ini(), QSettings::IniFormat);
        s.setValue(QStringLiteral("EditDataDlg/Width"), 300);
    }
    auto store = Open();
    EXPECT_EQ(store->ReadInt(QStringLiteral("EditDataDlg"), QStringLiteral("Width"), 0), 300);
    store->WriteInt(QStringLiteral("EditDataDlg"), QStringLiteral("Width"), 500);
    EXPECT_EQ(store->ReadInt(QStringLiteral("EditDataDlg"), QStringLiteral("Width"), 0), 500);
    EXPECT_EQ(Raw(QStringLiteral("EditDataDlg/Width")).toInt(), 300);
    store->WriteBack();
    EXPECT_EQ(Raw(QStringLiteral("EditDataDlg/Width")).toInt(), 500);
}

TEST_F(ProfileStoreTest, LoadedValuesIgnoreLaterDefaults)
{
    auto store = Open();
    EXPECT_EQ(store->ReadInt(QStringLiteral("S"), QStringLiteral("K"), 7), 7);
    EXPECT_EQ(store->ReadInt(QStringLiteral("S"), QStringLiteral("K"), 9), 7);
}

TEST_F(ProfileStoreTest, NamesDifferingInCaseShareOneEntry)
{
    auto store = Open();
    store->WriteString(QStringLiteral("DefaultDirectory"), QStringLiteral("LoadSave"), QStringLiteral("/data"));
    EXPECT_EQ(store->ReadString(QStringLiteral("defaultdirectory"), QStringLiteral("LOADSAVE"), {}),
              QStringLiteral("/data"));
}

TEST_F(ProfileStoreTest, FloatsAreWrittenAsSixDecimalText)
{
    {
        auto store = Open();
        store->WriteFloat(QStringLiteral("EditDataDlg"), QStringLiteral("DefaultLevel"), 50.0f);
        store->WriteBack();
    }
    EXPECT_EQ(Raw(QStringLiteral("EditDataDlg/DefaultLevel")).toString(), QStringLiteral("50.000000"));
    auto next = Open();
    EXPECT_EQ(next->ReadFloat(QStringLiteral("EditDataDlg"), QStringLiteral("DefaultLevel"), 1.0f), 50.0f);
}

TEST_F(ProfileStoreTest, EmptyFloatTextReadsAsTheDefault)
{
    {
        QSettings s(Ini(), QSettings::IniFormat);
        s.setValue(QStringLiteral("A/F"), QString());
        s.setValue(QStringLiteral("A/G"), QStringLiteral("12.5 dB"));
    }
    auto store = Open();
    EXPECT_EQ(store->ReadFloat(QStringLiteral("A"), QStringLiteral("F"), 3.5f), 3.5f);
    EXPECT_EQ(store->ReadFloat(QStringLiteral("A"), QStringLiteral("G"), 0.0f), 12.5f);
}

// Floats were read with atof under the user's LC_NUMERIC: under a decimal-comma locale the
// stored "12.500000" came back as 12. Old profiles may hold either form.
struct CommaLocaleFloat {
    const char* name;
    const char* iniLine;  // the value as it stands in the profile file
    float expected;
};

void PrintTo(const CommaLocaleFloat& row, std::ostream* os)
{
    *os << row.name;
}

class FloatsKeepTheirDecimalsUnderACommaLocale : public ProfileStoreTest,
                                                 public ::testing::WithParamInterface<CommaLocaleFloat> {};

TEST_P(FloatsKeepTheirDecimalsUnderACommaLocale, ReadsTheStoredValue)
{
    CommaLocale comma;
    ASSERT_TRUE(comma.Active()) << "de_DE.UTF-8 is missing; scripts/setup generates it";
    ASSERT_EQ(std::atof("12.5"), 12.0) << "the C library does not follow the comma locale";
    {
        QFile f(Ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("[EditDataDlg]\n") + GetParam().iniLine + "\n");
    }
    auto store = Open();
    EXPECT_EQ(store->ReadFloat(QStringLiteral("EditDataDlg"), QStringLiteral("DefaultLevel"), 1.0f), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Profile, FloatsKeepTheirDecimalsUnderACommaLocale,
    ::testing::Values(CommaLocaleFloat{"point", "DefaultLevel=12.500000", 12.5f},
                      CommaLocaleFloat{"quoted_comma", "DefaultLevel=\"12,500000\"", 12.5f},
                      CommaLocaleFloat{"bare_comma_read_as_a_list", "DefaultLevel=12,500000", 12.5f},
                      CommaLocaleFloat{"negative_with_unit", "DefaultLevel=-12.5 dB", -12.5f},
                      CommaLocaleFloat{"leading_plus", "DefaultLevel=+0.25", 0.25f},
                      CommaLocaleFloat{"no_number", "DefaultLevel=level", 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileStoreTest, FloatsAreWrittenWithAPointUnderACommaLocale)
{
    CommaLocale comma;
    ASSERT_TRUE(comma.Active()) << "de_DE.UTF-8 is missing; scripts/setup generates it";
    {
        auto store = Open();
        store->WriteFloat(QStringLiteral("EditDataDlg"), QStringLiteral("DefaultLevel"), 12.5f);
        store->WriteBack();
    }
    EXPECT_EQ(Raw(QStringLiteral("EditDataDlg/DefaultLevel")).toString(), QStringLiteral("12.500000"));
    auto next = Open();
    EXPECT_EQ(next->ReadFloat(QStringLiteral("EditDataDlg"), QStringLiteral("DefaultLevel"), 1.0f), 12.5f);
}

TEST_F(ProfileStoreTest, EmptyStringRemovesTheValueAtExit)
{
    {
        QSettings s(Ini(), QSettings::IniFormat);
        s.setValue(QStringLiteral("Settings/Margins"), QStringLiteral("1,2,3,4"));
    }
    {
        auto store = Open();
        store->WriteString(QStringLiteral("Settings"), QStringLiteral("Margins"), QString());
        store->WriteBack();
    }
    EXPECT_FALSE(Raw(QStringLiteral("Settings/Margins")).isValid());
    auto next = Open();
    EXPECT_EQ(next->ReadString(QStringLiteral("Settings"), QStringLiteral("Margins"), QStringLiteral("0,0,0,0")),
              QStringLiteral("0,0,0,0"));
}

TEST_F(ProfileStoreTest, UnchangedEntriesAreNotWritten)
{
    auto store = Open();
    store->ReadInt(QStringLiteral("Workspace"), QStringLiteral("ApplicationUI"), 1);
    store->WriteBack();
    EXPECT_FALSE(Raw(QStringLiteral("Workspace/ApplicationUI")).isValid());
}

}  // namespace
