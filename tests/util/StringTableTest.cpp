#include <gtest/gtest.h>

#include <QStringList>

#include "util/StringTable.h"

// Every folder registers its own texts at start-up; two folders that picked the same identifier
// would show one folder's text in the other's place (it happened once: the image scale dialog's
// "&Reset" stood where a too-many-points warning belonged).
TEST(StringTable, NoTwoFoldersShareAnIdentifier)
{
    QStringList clashes;
    for (int id : TxBuiltInDuplicates())
        clashes << QString::number(id);
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u',').toStdString();
}
