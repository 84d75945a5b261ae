// The history file itself: its name, its exclusive creation, the byte layout of a step record,
// and how read and write failures close it.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "document/DocStrings.h"
#include "document/UndoStack.h"

namespace {

QByteArray Le32(int32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((uint32_t(v) >> (8 * i)) & 0xFF);
    return b;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// A history file whose reads or writes fail once `failing` is set.
struct FailSwitch {
    bool failWrites = false;
    bool failReads = false;
};

class FlakyFile : public QFile {
public:
    FlakyFile(const QString& path, std::shared_ptr<FailSwitch> s) : QFile(path), m_switch(std::move(s)) {}

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        return m_switch->failWrites ? -1 : QFile::writeData(data, len);
    }
    qint64 readData(char* data, qint64 len) override
    {
        return m_switch->failReads ? -1 : QFile::readData(data, len);
    }

private:
    std::shared_ptr<FailSwitch> m_switch;
};

class UndoStackFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    CTXUndoStack::Step MakeStep(int32_t kind, int32_t flags, int32_t argument, QByteArray snapshot)
    {
        return {kind, flags, argument, std::move(snapshot)};
    }
    QTemporaryDir dir;
};

TEST_F(UndoStackFile, NameHasTheTxPrefixAndTheFileGoesWithTheStack)
{
    QString path;
    {
        CTXUndoStack a(IDS_UNDO_FORMAT, IDS_UNDO_EMPTY);
        CTXUndoStack b(IDS_REDO_FORMAT, IDS_REDO_EMPTY);
        ASSERT_TRUE(a.Create(dir.path()));
        ASSERT_TRUE(b.Create(dir.path()));
        path = a.Path();
        const QRegularExpression name(QStringLiteral("^~TX[0-9A-F]{5}\\.TMP$"));
        EXPECT_TRUE(name.match(QFileInfo(a.Path()).fileName()).hasMatch()) << a.Path().toStdString();
        EXPECT_NE(a.Path(), b.Path());
        EXPECT_TRUE(QFileInfo::exists(a.Path()));
        EXPECT_TRUE(QFileInfo::exists(b.Path()));
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(UndoStackFile, FolderThatCannotHoldTheFileLeavesTheStackClosed)
{
    CTXUndoStack s(IDS_UNDO_FORMAT, IDS_UNDO_EMPTY);
    EXPECT_FALSE(s.Create(dir.filePath(QStringLiteral("missing/folder"))));
    EXPECT_FALSE(s.IsOpen());
    EXPECT_FALSE(s.Push(MakeStep(7, 4, 0, Le32(1))));
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.MenuText(), QStringLiteral("Can't Undo"));
}

TEST_F(UndoStackFile, RecordsCarryTheirLengthAtTheEnd)
{
    CTXUndoStack s(IDS_UNDO_FORMAT, IDS_UNDO_EMPTY);
    ASSERT_TRUE(s.Create(dir.path()));
    ASSERT_TRUE(s.Push(MakeStep(7, 4, 0, Le32(2))));
    ASSERT_TRUE(s.Push(MakeStep(6, 4, 1003, QByteArray("\x01Z", 2))));
    const QByteArray expected = Le32(7) + Le32(4) + Le32(0) + Le32(2) + Le32(16) +
                                Le32(6) + Le32(4) + Le32(1003) + QByteArray("\x01Z", 2) + Le32(14);
    EXPECT_EQ(FileBytes(s.Path()), expected);
    EXPECT_EQ(s.Size(), expected.size());
    EXPECT_EQ(s.MenuText(), QStringLiteral("&Undo Property\t(Ctrl+Z)"));

    CTXUndoStack::Step top;
    ASSERT_TRUE(s.ReadTop(&top));
    EXPECT_EQ(top.kind, 6);
    EXPECT_EQ(top.recalcFlags, 4);
    EXPECT_EQ(top.argument, 1003);
    EXPECT_EQ(top.snapshot, QByteArray("\x01Z", 2));
    ASSERT_TRUE(s.Pop());
    EXPECT_EQ(FileBytes(s.Path()), expected.left(20));
    EXPECT_EQ(s.MenuText(), QStringLiteral("&Undo Map Mode\t(Ctrl+Z)"));

    s.Clear();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(FileBytes(s.Path()).size(), 0);
    EXPECT_FALSE(s.ReadTop(&top));
}

// A history file changed behind the stack's back must not be trusted: the trailing length no
// longer leads to a record start, and the stack closes instead of restoring garbage.
TEST_F(UndoStackFile, DamagedTrailingLengthIsReportedOnceAndClosesTheStack)
{
    CTXUndoStack s(IDS_UNDO_FORMAT, IDS_UNDO_EMPTY);
    ASSERT_TRUE(s.Create(dir.path()));
    int reports = 0;
    s.SetErrorHandler([&](const QString& message) {
        ++reports;
        EXPECT_TRUE(message.contains(s.Path()) || !message.isEmpty());
    });
    ASSERT_TRUE(s.Push(MakeStep(0, 7, 0, QByteArray(40, 'a'))));
    {
        QFile f(s.Path());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(f.size() - 4));
        f.write(Le32(9999));
    }
    CTXUndoStack::Step top;
    EXPECT_FALSE(s.ReadTop(&top));
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(s.IsOpen());
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_FALSE(s.Push(MakeStep(0, 7, 0, {})));
    EXPECT_FALSE(s.ReadTop(&top));
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(s.MenuText(), QStringLiteral("Can't Undo"));
}

struct IoFailureRow {
    const char* name;
    bool failWrites;
    bool failReads;
};

class UndoStackIoFailure : public UndoStackFile, public ::testing::WithParamInterface<IoFailureRow> {};

TEST_P(UndoStackIoFailure, FailingFileIsReportedOnceThenTheStackStaysClosed)
{
    auto fail = std::make_shared<FailSwitch>();
    CTXUndoStack s(IDS_REDO_FORMAT, IDS_REDO_EMPTY);
    ASSERT_TRUE(s.Create(dir.path(), [fail](const QString& path) {
        return std::unique_ptr<QFile>(new FlakyFile(path, fail));
    }));
    QStringList reports;
    s.SetErrorHandler([&](const QString& m) { reports << m; });
    ASSERT_TRUE(s.Push(MakeStep(3, 7, 0, QByteArray(100, 'x'))));
    const QString path = s.Path();

    fail->failWrites = GetParam().failWrites;
    fail->failReads = GetParam().failReads;
    CTXUndoStack::Step top;
    const bool pushed = s.Push(MakeStep(3, 7, 0, QByteArray(100, 'y')));
    const bool read = s.ReadTop(&top);
    EXPECT_FALSE(pushed && read);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(path));
    EXPECT_FALSE(s.IsOpen());
    EXPECT_EQ(s.Depth(), 0);
    EXPECT_EQ(s.MenuText(), QStringLiteral("Can't Redo"));

    fail->failWrites = fail->failReads = false;
    EXPECT_FALSE(s.Push(MakeStep(3, 7, 0, {})));
    EXPECT_EQ(reports.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Undo, UndoStackIoFailure,
                         ::testing::Values(IoFailureRow{"write", true, false},
                                           IoFailureRow{"read", false, true},
                                           IoFailureRow{"both", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
