#pragma once
// CPictureWriteQueue: writes map pictures as PNG files on a few threads of its own, so that the
// pictures of a batch are encoded side by side and while later maps are still being computed.
// Every picture handed over is written (or its failure recorded) before Finish returns.

#include <QImage>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class CPictureWriteQueue {
public:
    // `threads` below 1 counts as 1.
    explicit CPictureWriteQueue(int threads);
    ~CPictureWriteQueue();
    CPictureWriteQueue(const CPictureWriteQueue&) = delete;
    CPictureWriteQueue& operator=(const CPictureWriteQueue&) = delete;

    // Queues `picture` for `path`; returns the job's number, counted from 0.
    int Add(const QImage& picture, const QString& path);
    // Waits until every queued picture is written and stops the threads; then whether each job
    // succeeded, by job number. Nothing may be added afterwards.
    std::vector<bool> Finish();

private:
    struct Job {
        int number = 0;
        QImage picture;
        QString path;
    };
    void Work();

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    std::vector<bool> m_written;  // by job number
    bool m_closing = false;
    int m_added = 0;
    std::vector<std::thread> m_threads;
};
