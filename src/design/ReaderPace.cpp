#include "ReaderPace.h"

#include <utility>

namespace tavlin {

ReaderPace::ReaderPace(Mode mode, QObject* parent) : QObject(parent), mode_(mode)
{
    timer_.setSingleShot(true);
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, &ReaderPace::intervalUp);
}

void ReaderPace::changed()
{
    if (firstQueued_)
        return;
    if (!timer_.isActive()) {
        firstQueued_ = true;
        QMetaObject::invokeMethod(this, &ReaderPace::tellFirst, Qt::QueuedConnection);
        return;
    }
    pending_ = true;
    if (mode_ == Mode::settled)
        timer_.start();
}

void ReaderPace::tellFirst()
{
    firstQueued_ = false;
    timer_.start();
    Q_EMIT due();
}

void ReaderPace::intervalUp()
{
    if (!std::exchange(pending_, false))
        return;
    // A steady pace goes on while changes come: the interval runs again from this telling.
    if (mode_ == Mode::steady)
        timer_.start();
    Q_EMIT due();
}

} // namespace tavlin
