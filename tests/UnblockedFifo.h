// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QTest>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// A FIFO on which nothing blocks for long: past a few seconds, a thread opens
// and closes it again and again, so that a reader or writer stuck on it goes on
// (to the end of file) and a faulty test fails instead of hanging.
class UnblockedFifo
{
public:
    explicit UnblockedFifo(const QByteArray &path)
    {
        QVERIFY2(::mkfifo(path.constData(), 0600) == 0, path.constData());
        m_thread = std::thread([this, path] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_stop.wait_for(lock, std::chrono::seconds(3), [this] { return m_stopping; }))
                return;
            do {
                // Read and write: no open of either kind waits then.
                const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            } while (!m_stop.wait_for(lock, std::chrono::milliseconds(100),
                                      [this] { return m_stopping; }));
        });
    }
    ~UnblockedFifo()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_stop.notify_one();
        m_thread.join();
    }
    UnblockedFifo(const UnblockedFifo &) = delete;
    UnblockedFifo &operator=(const UnblockedFifo &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    std::thread m_thread;
};
