// The picture write queue: every picture handed over is written, in whatever order the threads
// take them, and a failure is told for exactly its own job.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "cli/CliPictureWriter.h"

namespace {

QImage Picture(int shade)
{
    QImage picture(120, 90, QImage::Format_RGB32);
    picture.fill(qRgb(shade, 255 - shade, (shade * 7) & 255));
    picture.setPixel(shade % 120, 45, qRgb(1, 2, 3));
    return picture;
}

struct QueueRow {
    const char* name;
    int threads;
    int pictures;
    int failingJob;  // written into a missing folder; -1 for none
};

class PictureWriteQueueTest : public ::testing::TestWithParam<QueueRow> {};

TEST_P(PictureWriteQueueTest, EveryPictureIsWrittenAndEveryFailureTold)
{
    const QueueRow& row = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<QString> paths;
    CPictureWriteQueue queue(row.threads);
    for (int k = 0; k < row.pictures; ++k) {
        const QString name = (k == row.failingJob ? QStringLiteral("missing/") : QString()) +
                             QStringLiteral("p%1.png").arg(k);
        paths.push_back(dir.filePath(name));
        EXPECT_EQ(queue.Add(Picture(k * 20), paths.back()), k);
    }
    const std::vector<bool> written = queue.Finish();
    ASSERT_EQ(written.size(), size_t(row.pictures));
    for (int k = 0; k < row.pictures; ++k) {
        if (k == row.failingJob) {
            EXPECT_FALSE(written[size_t(k)]);
            continue;
        }
        EXPECT_TRUE(written[size_t(k)]) << k;
        EXPECT_EQ(QImage(paths[size_t(k)]).convertToFormat(QImage::Format_RGB32), Picture(k * 20)) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Queues, PictureWriteQueueTest,
                         ::testing::Values(QueueRow{"OneThread", 1, 5, -1}, QueueRow{"MoreThreadsThanPictures", 4, 2, -1},
                                           QueueRow{"TwelveOnTwo", 2, 12, -1}, QueueRow{"FirstFails", 2, 6, 0},
                                           QueueRow{"LastFails", 3, 7, 6}, QueueRow{"NoThreadsMeansOne", 0, 3, 1},
                                           QueueRow{"NothingQueued", 2, 0, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
