#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/stat.h>

#include "util/SafeFileWriter.h"

namespace {

// Counts the steps of a save and makes the one numbered `failAt` fail with `error`.
class StepFault : public IFileWriteFaults {
public:
    StepFault(int failAt, int error) : m_failAt(failAt), m_error(error) {}
    int Before(FileWriteStep step) override
    {
        steps.push_back(step);
        return int(steps.size()) - 1 == m_failAt ? m_error : 0;
    }
    std::vector<FileWriteStep> steps;

private:
    int m_failAt;
    int m_error;
};

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Pattern(qsizetype size, char seed)
{
    QByteArray b(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        b[i] = char(seed + i * 7);
    return b;
}

struct FaultCase {
    const char* name;
    int error;
    FileWriteStatus expected;
};

class SaveUnderFault : public ::testing::TestWithParam<FaultCase> {};

}  // namespace

// Every step of a save that spans several writes fails once in turn: the old file stays byte
// for byte, the reason comes back, and no temporary file is left in the folder.
TEST_P(SaveUnderFault, EveryStepLeavesThePreviousFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.Tsrix"));
    const QByteArray previous = Pattern(1000, 'a');
    ASSERT_EQ(WriteFileSafely(path, previous), FileWriteStatus::Ok);
    const QByteArray next = Pattern(3 * kSafeWriteChunk + 17, 'q');

    StepFault counting(-1, 0);
    ASSERT_EQ(WriteFileSafely(dir.filePath(QStringLiteral("count.Tsrix")), next, &counting), FileWriteStatus::Ok);
    const int stepCount = int(counting.steps.size());
    ASSERT_EQ(std::count(counting.steps.begin(), counting.steps.end(), FileWriteStep::Write), 4);
    QFile::remove(dir.filePath(QStringLiteral("count.Tsrix")));

    for (int k = 0; k < stepCount; ++k) {
        StepFault fault(k, GetParam().error);
        EXPECT_EQ(WriteFileSafely(path, next, &fault), GetParam().expected) << "step " << k;
        EXPECT_EQ(ReadAll(path), previous) << "step " << k;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("plan.Tsrix")}) << "step " << k;
    }
    EXPECT_EQ(WriteFileSafely(path, next), FileWriteStatus::Ok);
    EXPECT_EQ(ReadAll(path), next);
}

INSTANTIATE_TEST_SUITE_P(Errors, SaveUnderFault,
                         ::testing::Values(FaultCase{"DiskFull", ENOSPC, FileWriteStatus::DiskFull},
                                           FaultCase{"QuotaUsedUp", EDQUOT, FileWriteStatus::DiskFull},
                                           FaultCase{"InputOutput", EIO, FileWriteStatus::Failed},
                                           FaultCase{"ReadOnlyMedium", EROFS, FileWriteStatus::AccessDenied}),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST(SafeFileWriter, ReplacedFileKeepsItsPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scale.csc"));
    ASSERT_EQ(WriteFileSafely(path, "one"), FileWriteStatus::Ok);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_EQ(WriteFileSafely(path, "two"), FileWriteStatus::Ok);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadAll(path), QByteArray("two"));
}

TEST(SafeFileWriter, MissingFolderIsRefusedAsNotWritable)
{
    QTemporaryDir dir;
    EXPECT_EQ(WriteFileSafely(dir.filePath(QStringLiteral("no/such/x.Tsrix")), "x"), FileWriteStatus::AccessDenied);
}

TEST(SafeFileWriter, EmptyContentReplacesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("e"));
    ASSERT_EQ(WriteFileSafely(path, "old"), FileWriteStatus::Ok);
    ASSERT_EQ(WriteFileSafely(path, QByteArray()), FileWriteStatus::Ok);
    EXPECT_TRUE(ReadAll(path).isEmpty());
}
