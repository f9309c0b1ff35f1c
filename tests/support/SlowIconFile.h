#pragma once
// An icon file that is a pipe only another thread fills, and only once the test lets it: code that
// reads the icon waits on the pipe, so the writer gives in after 10 s, fills it itself and says
// so. Nothing that knows better ever opens it: at its end the test reads it itself, to let the
// writer go.
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin::test {

class SlowIconFile {
public:
    SlowIconFile(const QString& path, QColor colour)
        : path_(QFile::encodeName(path)), made_(mkfifo(path_.constData(), 0600) == 0)
    {
        if (!made_)
            return;
        writer_ = std::thread([this, path, colour] {
            std::unique_lock lock(mutex_);
            forced_ = !released_.wait_for(lock, std::chrono::seconds(10), [&] { return release_; });
            lock.unlock();
            QImage image(48, 48, QImage::Format_ARGB32);
            image.fill(colour);
            QFile pipe(path);
            if (pipe.open(QIODevice::WriteOnly))
                image.save(&pipe, "PNG");
        });
    }
    ~SlowIconFile()
    {
        if (writer_.joinable()) {
            release();
            const int reader = ::open(path_.constData(), O_RDONLY | O_NONBLOCK);
            writer_.join();
            if (reader >= 0)
                ::close(reader);
        }
    }
    SlowIconFile(const SlowIconFile&) = delete;
    SlowIconFile& operator=(const SlowIconFile&) = delete;

    bool made() const { return made_; }

    // Lets the writer fill the pipe; false when it had already filled it because the main thread
    // was reading it.
    bool release()
    {
        {
            const std::lock_guard lock(mutex_);
            if (release_ || forced_)
                return !forced_;
            release_ = true;
        }
        released_.notify_one();
        return true;
    }

private:
    QByteArray path_;
    bool made_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false;
    bool forced_ = false;
    std::thread writer_;
};

} // namespace tavlin::test
