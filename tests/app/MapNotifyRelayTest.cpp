// Notifications posted by worker threads reach the frame on the user-interface thread, in order,
// and stop reaching it once it has gone.
#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/MapNotifyRelay.h"

namespace {

class CRecorder final : public IMapNotifySink {
public:
    intptr_t SendMapNotify(int code, intptr_t argument) override
    {
        calls.push_back({code, argument});
        onGuiThread &= QThread::currentThread() == QCoreApplication::instance()->thread();
        return code == MapNotifyActiveColumn ? 5 : 0;
    }
    std::vector<std::pair<int, intptr_t>> calls;
    bool onGuiThread = true;
};

TEST(MapNotifyRelayTest, PostedCodesArriveQueuedOnTheGuiThreadInOrder)
{
    CMapNotifyRelay relay;
    CRecorder frame;
    relay.Attach(&frame);
    EXPECT_EQ(relay.SendMapNotify(MapNotifyActiveColumn, 0), 5);  // sent: answered at once
    frame.calls.clear();
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&relay, w] {
            for (int k = 0; k < 50; ++k)
                relay.PostMapNotify(MapNotifyMapReady, w * 1000 + k);
        });
    for (auto& t : workers)
        t.join();
    EXPECT_TRUE(frame.calls.empty());  // nothing runs on the worker threads
    QCoreApplication::sendPostedEvents(&relay);
    ASSERT_EQ(frame.calls.size(), 200u);
    EXPECT_TRUE(frame.onGuiThread);
    std::vector<intptr_t> last(4, -1);  // each worker's notifications keep their order
    for (const auto& [code, arg] : frame.calls) {
        EXPECT_EQ(code, MapNotifyMapReady);
        EXPECT_GT(arg, last[size_t(arg / 1000)]);
        last[size_t(arg / 1000)] = arg;
    }
}

TEST(MapNotifyRelayTest, DetachDropsQueuedAndLaterNotifications)
{
    CMapNotifyRelay relay;
    CRecorder frame;
    relay.Attach(&frame);
    relay.PostMapNotify(MapNotifyMapsRequested, 3);
    relay.Detach();
    std::thread late([&relay] { relay.PostMapNotify(MapNotifyMapReady, 0); });
    late.join();
    QCoreApplication::sendPostedEvents(&relay);
    EXPECT_TRUE(frame.calls.empty());
    EXPECT_EQ(relay.SendMapNotify(MapNotifyActiveColumn, 0), 0);
}

}  // namespace
