// The folder and filter a file dialog remembers under its profile name.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "../support/TemporaryProfile.h"
#include "util/KWRememberedFolder.h"

namespace {

const QString kSection = QStringLiteral("DefaultDirectory");

struct FilterCase {
    const char* name;
    int stored;  // 0: nothing stored
    int filterCount;
    int expected;
};

class RememberedFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(RememberedFilter, StaysAmongTheDialogsFilters)
{
    QTemporaryDir dir;
    auto store = TemporaryProfileStore(dir);
    if (GetParam().stored != 0)
        store->WriteInt(kSection, QStringLiteral("Scales_Filter"), GetParam().stored);
    EXPECT_EQ(CKWRememberedFolder(*store, QStringLiteral("Scales")).FilterIndex(GetParam().filterCount),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Profile, RememberedFilter,
                         ::testing::Values(FilterCase{"first_time", 0, 3, 1}, FilterCase{"stored_last", 3, 3, 3},
                                           FilterCase{"stored_beyond_the_filters", 4, 3, 1},
                                           FilterCase{"stored_negative", -2, 3, 1}),
                         [](const auto& info) { return info.param.name; });

TEST(RememberedFolder, KeepsTheChosenFilesFolderUnderItsName)
{
    QTemporaryDir dir;
    auto store = TemporaryProfileStore(dir);
    const CKWRememberedFolder scales(*store, QStringLiteral("ColorScale"));
    EXPECT_TRUE(scales.Folder().isEmpty());
    scales.Remember(dir.filePath(QStringLiteral("sub/map.csc")), 2);
    EXPECT_EQ(scales.Folder(), dir.filePath(QStringLiteral("sub")));
    EXPECT_EQ(store->ReadString(kSection, QStringLiteral("colorscale"), {}), dir.filePath(QStringLiteral("sub")));
    EXPECT_EQ(store->ReadInt(kSection, QStringLiteral("ColorScale_Filter"), 0), 2);

    scales.Remember(dir.filePath(QStringLiteral("other.csc")), 0);
    EXPECT_EQ(scales.FilterIndex(2), 2) << "no filter chosen keeps the remembered one";
    EXPECT_TRUE(CKWRememberedFolder(*store, QStringLiteral("ImportIMG")).Folder().isEmpty())
        << "each name has its own folder";
}

}  // namespace
