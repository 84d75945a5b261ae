// The twelve workers under a storm of requests from the user-interface thread: random flags,
// single-column requests, view resizes that lay the maps out anew, and New (which deletes the
// contents) while workers run. Whatever the order, the last request each column received before
// the storm ends is answered by exactly one MapReady, and nothing deadlocks. Built with ThreadSanitizer
// and AddressSanitizer in CI, this also watches for races and leaks.

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>

#include "document/MapNotify.h"
#include "document/TessarixDoc.h"
#include "workers/MapComputationSet.h"

namespace {

// Every MapReady with the request it answers. A worker keeps the notify the document had when
// the request was made, so each request gets a notify of its own that tags what it posts.
class RequestTaggedReady {
public:
    struct Tag : IMapNotify {
        RequestTaggedReady* owner = nullptr;
        int64_t request = 0;
        intptr_t SendMapNotify(int, intptr_t) override { return 0; }
        void PostMapNotify(int code, intptr_t argument) override
        {
            if (code == MapNotifyMapReady)
                owner->Record(int(argument), request);
        }
    };
    // A notify whose MapReady counts for request number `request`.
    IMapNotify* NewTag(int64_t request)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_tags.push_back(Tag{});
        m_tags.back().owner = this;
        m_tags.back().request = request;
        return &m_tags.back();
    }
    int ReadyFor(int column, int64_t request) const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        int n = 0;
        for (const auto& [c, r] : m_ready)
            n += c == column && r == request;
        return n;
    }

private:
    void Record(int column, int64_t request)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_ready.push_back({column, request});
    }
    mutable std::mutex m_lock;
    std::deque<Tag> m_tags;  // stable addresses: workers hold on to them
    std::vector<std::pair<int, int64_t>> m_ready;
};

// The program's workers, noting each column's last request (-1 once Delete contents has dropped
// it) and giving every request its own tagged notify.
class MarkedMaps : public IMapComputations {
public:
    explicit MarkedMaps(RequestTaggedReady& ready) : m_ready(ready) { lastRequest.fill(-1); }
    void Request(const CTessarixDoc& doc, int column, bool raisePriority, int flags) override
    {
        CTessarixDoc& writable = const_cast<CTessarixDoc&>(doc);  // only its notify is swapped
        IMapNotify* previous = writable.Notify();
        const int64_t request = ++m_requests;
        writable.SetNotify(m_ready.NewTag(request));
        set.Request(doc, column, raisePriority, flags);
        writable.SetNotify(previous);
        lastRequest[size_t(column)] = request;
    }
    void Reset() override
    {
        set.Reset();
        lastRequest.fill(-1);
    }
    bool CopyPicture(int column, QImage* out) const override { return set.CopyPicture(column, out); }
    bool HasPicture(int column) const override { return set.HasPicture(column); }
    bool SurfaceValueAt(int column, float x, float y, const CTessarixSettings& s, float* z) const override
    {
        return set.SurfaceValueAt(column, x, y, s, z);
    }
    bool InputValueRange(int column, float* lo, float* hi) const override { return set.InputValueRange(column, lo, hi); }

    CMapComputationSet set;
    std::array<int64_t, kColumnCount> lastRequest;

private:
    RequestTaggedReady& m_ready;
    int64_t m_requests = 0;
};

void FillTable(CTessarixDoc& doc, std::mt19937& rng)
{
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    const int n = 6 + int(rng() % 10);
    CTXFloatArray x, y;
    std::array<CTXFloatArray, kColumnCount> values;
    for (int k = 0; k < n; ++k) {
        x.push_back(u(rng));
        y.push_back(u(rng));
        for (auto& v : values)
            v.push_back(60.0f + 30.0f * u(rng));
    }
    doc.SetPointTable(n, x, y, values);
}

void EnableAllColumns(CTessarixDoc& doc)
{
    std::array<bool, kColumnCount> enabled;
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c) {
        enabled[size_t(c)] = true;
        names[size_t(c)] = doc.Column(c).name;
    }
    doc.SetColumnDefinitions(enabled, names);
}

}  // namespace

TEST(WorkerStress, EverySurvivingRequestEndsInExactlyOneMapReady)
{
    RequestTaggedReady ready;
    RequestTaggedReady::Tag untagged;  // what the document itself posts (MapsRequested)
    untagged.owner = &ready;
    untagged.request = -1;
    auto marked = std::make_unique<MarkedMaps>(ready);
    MarkedMaps* maps = marked.get();
    auto doc = std::make_unique<CTessarixDoc>(std::move(marked));
    doc->SetNotify(&untagged);
    std::mt19937 rng(20261210);
    auto startOver = [&] {
        doc->OnNewDocument();
        FillTable(*doc, rng);
        EnableAllColumns(*doc);
        doc->OnViewSizeChanged(TxRect{0, 0, 160 + int(rng() % 8), 120});
        doc->RequestMaps(7);
    };
    startOver();

    constexpr int kOperations = 3000;
    for (int op = 0; op < kOperations; ++op) {
        const unsigned pick = rng() % 100;
        if (pick < 55)
            doc->RequestMaps(1 + int(rng() % 7));
        else if (pick < 80)
            maps->Request(*doc, int(rng() % kColumnCount), rng() % 2 == 0, 1 + int(rng() % 7));
        else if (pick < 92)
            doc->OnViewSizeChanged(TxRect{0, 0, 60 + int(rng() % 240), 60 + int(rng() % 180)});
        else if (pick < 95)
            startOver();
        else
            std::this_thread::sleep_for(std::chrono::microseconds(rng() % 2000));
    }
    for (int c = 0; c < kColumnCount; ++c)
        maps->set.WaitUntilIdle(c);

    for (int c = 0; c < kColumnCount; ++c) {
        const int64_t last = maps->lastRequest[size_t(c)];
        ASSERT_GE(last, 0) << "the storm leaves every column requested";
        EXPECT_EQ(ready.ReadyFor(c, last), 1) << "column " << c;
    }
    doc.reset();  // stops the workers while the recorder still exists
}

// Delete contents while a request waits for its worker: the old request must not come back
// with a picture of the deleted contents.
TEST(WorkerStress, DeleteContentsDropsARequestNotYetStarted)
{
    auto set = std::make_unique<CMapComputationSet>();
    CMapComputationSet* maps = set.get();
    auto doc = std::make_unique<CTessarixDoc>(std::move(set));
    std::mt19937 rng(7);
    FillTable(*doc, rng);
    doc->OnViewSizeChanged(TxRect{0, 0, 160, 120});
    maps->WaitUntilIdle(0);
    for (int round = 0; round < 200; ++round) {
        maps->Request(*doc, 0, false, 7);
        maps->Reset();
        maps->WaitUntilIdle(0);
        EXPECT_FALSE(maps->HasPicture(0)) << "round " << round;
    }
    doc.reset();
}
