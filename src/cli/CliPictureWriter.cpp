#include "cli/CliPictureWriter.h"

#include <algorithm>

#include "image/PngEncoder.h"
#include "util/PhaseTimes.h"

CPictureWriteQueue::CPictureWriteQueue(int threads)
{
    for (int k = 0; k < std::max(1, threads); ++k)
        m_threads.emplace_back([this] { Work(); });
}

CPictureWriteQueue::~CPictureWriteQueue()
{
    Finish();
}

int CPictureWriteQueue::Add(const QImage& picture, const QString& path)
{
    std::lock_guard<std::mutex> lock(m_lock);
    const int number = m_added++;
    m_written.push_back(false);
    m_jobs.push_back({number, picture, path});
    m_wake.notify_one();
    return number;
}

std::vector<bool> CPictureWriteQueue::Finish()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closing = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
    m_threads.clear();
    std::lock_guard<std::mutex> lock(m_lock);
    return m_written;
}

void CPictureWriteQueue::Work()
{
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_wake.wait(lock, [this] { return m_closing || !m_jobs.empty(); });
            if (m_jobs.empty())
                return;  // closing, and nothing left to write
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        bool written = false;
        {
            const ScopedPhase timed(MapPhase::Encoding);
            written = WritePngFile(job.picture, job.path);
        }
        job.picture = QImage();  // the pixels go as soon as the file is written
        std::lock_guard<std::mutex> lock(m_lock);
        m_written[size_t(job.number)] = written;
    }
}
