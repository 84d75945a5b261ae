// Every input a fuzzer ever crashed or hung a reader with, and every seed it starts from, is fed
// again through the same entry point. Under the sanitizer build a memory or undefined-behaviour
// fault fails the run; in every build an abort, a hang (the test's timeout) or a broken
// invariant does.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "FuzzTargets.h"

namespace {

QString SourceDir()
{
    return QStringLiteral(TESSARIX_SOURCE_DIR);
}

// The files a glob like "../shared/samples/*.bmp" names, relative to the checkout.
QStringList FilesOf(const QString& glob)
{
    const QFileInfo pattern(QDir(SourceDir()).filePath(glob));
    QDir dir = pattern.dir();
    QStringList files;
    for (const QString& name : dir.entryList({pattern.fileName()}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

QStringList InputsOf(const FuzzTarget& target)
{
    QStringList files = FilesOf(QStringLiteral("tests/data/fuzz/%1/*").arg(QString::fromLatin1(target.name)));
    for (const QString& glob : QString::fromLatin1(target.seeds).split(u' ', Qt::SkipEmptyParts))
        files << FilesOf(glob);
    files.removeDuplicates();
    return files;
}

class FuzzInputs : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzInputs, EveryStoredInputIsAnsweredCleanly)
{
    const QStringList files = InputsOf(GetParam());
    ASSERT_FALSE(files.isEmpty()) << "no seeds or regressions for " << GetParam().name;
    for (const QString& path : files) {
        SCOPED_TRACE(path.toStdString());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        GetParam().run(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzInputs, ::testing::ValuesIn(FuzzTargets()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
