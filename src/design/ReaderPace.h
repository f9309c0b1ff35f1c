#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

namespace tavlin {

// Paces what a screen reader is told of a run of quick changes, such as the records an arrow key
// passes while it is held. Orca re-reads its whole queue at every focus and selection it is told of
// once it is some fifty events behind, asking each queued event's object for its name; answered by
// Qt's bridge on the main thread, a held key then leaves it silent for many seconds. So the first
// change is told at once, and later ones that come before `interval` has passed are folded into one
// telling: `steady` tells what then holds once the interval since the last telling is up, again and
// again while changes keep coming; `settled` waits until the changes have stopped for the interval.
// What is told is always what holds at the telling, never a change passed over.
class ReaderPace : public QObject {
    Q_OBJECT
public:
    enum class Mode { steady, settled };
    static constexpr std::chrono::milliseconds interval{150};

    ReaderPace(Mode mode, QObject* parent);

    // Something to tell changed. The first of a run is told on the next turn of the event loop,
    // once what changed with it in the same turn (rows, then the selection, then the current row)
    // has settled; it is told once.
    void changed();

Q_SIGNALS:
    // Tell what holds now.
    void due();

private:
    void tellFirst();
    void intervalUp();

    Mode mode_;
    QTimer timer_;
    bool firstQueued_ = false;
    bool pending_ = false;
};

} // namespace tavlin
