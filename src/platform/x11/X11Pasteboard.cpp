#include "X11Pasteboard.h"

#include "Log.h"
#include "PasteboardTypes.h"
#include "SelectionReader.h"
#include "TargetMapping.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <QSet>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

namespace tavlin {

// The count of changes, shared with the sessions so that a read can count the owner change it
// sees.
struct X11Pasteboard::Changes {
    qint64 count = 0;
    // The owner that a read saw take over before Qt announced it.
    std::optional<xcb_window_t> unannouncedOwner;
    ChangeObserver observer;

    void countOne()
    {
        ++count;
        if (observer)
            observer(count);
    }
};

// One clipboard state as read: the owner, where its bytes come from, and the items presented.
// Held through a shared pointer by every read in progress, so it outlives none of them.
struct X11Pasteboard::Session : std::enable_shared_from_this<Session> {
    qint64 changeCount = 0;
    xcb_window_t owner = XCB_NONE;
    SelectionReader::Ownership ownership;
    std::shared_ptr<Changes> changes;
    // Another program's content, converted on demand until the deadline, each target within its
    // own time...
    std::shared_ptr<SelectionReader> reader;
    SelectionReader::Clock::time_point created;
    SelectionReader::Clock::time_point deadline;
    // ...or our own, as Qt holds it, with its targets in Qt's order.
    std::optional<QHash<QByteArray, QByteArray>> ownContent;
    QList<QByteArray> ownTargets;
    // Set once nothing more of this copy can be read: another owner took over or the owner quit
    // (one read, one owner), the connection failed, or the reader was ended. Later conversions
    // end at once, and what came before is still the copy's. Why, for the formats not asked for.
    bool over = false;
    QString overReason;
    bool ended = false;
    // Why a target gave nothing: asked again, it costs no second wait. A target that is slow or
    // refused is skipped, not the copy.
    QHash<QByteArray, QString> failures;
    // Whether each target that answered did so with no bytes: asked again, it is not asked twice.
    QHash<QByteArray, bool> answeredEmpty;
    // Bytes read before their type was asked for, handed to the first who asks for their target
    // (the reader, a moment later) and not held after, nor once the reader has stopped (endRead):
    // a PNG read ahead is up to 32 MiB.
    QHash<QByteArray, QByteArray> readAhead;
    // The types whose loss was logged.
    QSet<QString> reported;
    bool loaded = false;
    std::optional<std::optional<QString>> ownerApplication;
    QList<std::shared_ptr<const PasteboardItem>> items;

    bool isCurrent() const { return changes->count == changeCount; }

    QCoro::Task<std::optional<QByteArray>> fetch(QByteArray target)
    {
        if (ownContent) {
            const auto it = ownContent->constFind(target);
            co_return it == ownContent->cend() ? std::nullopt : std::optional<QByteArray>(*it);
        }
        if (const auto ahead = readAhead.find(target); ahead != readAhead.end()) {
            QByteArray bytes = std::move(*ahead);
            readAhead.erase(ahead);
            co_return bytes;
        }
        if (answeredEmpty.value(target))
            co_return QByteArray();
        if (!reader || ended || failures.contains(target))
            co_return std::nullopt;
        if (over || !isCurrent()) {
            failures.insert(target, over ? overReason : QStringLiteral("not asked for, the clipboard had changed"));
            co_return std::nullopt;
        }
        const SelectionReader::Clock::time_point start = SelectionReader::Clock::now();
        if (start >= deadline) {
            failures.insert(target, QStringLiteral("not asked for, the copy's %1 s were spent").arg(seconds(budget())));
            co_return std::nullopt;
        }
        SelectionReader::Result result = co_await reader->convert(target, ownership, deadline);
        std::optional<QByteArray> bytes = accept(std::move(result), target, start);
        if (bytes)
            answeredEmpty.insert(target, bytes->isEmpty());
        co_return bytes;
    }

    // Whether `target` answered with no bytes, asked now if it was not yet; bytes it gave wait in
    // readAhead for whoever asks for them.
    QCoro::Task<bool> answersEmpty(QByteArray target)
    {
        if (!answeredEmpty.contains(target)) {
            std::optional<QByteArray> bytes = co_await fetch(target);
            if (bytes && !bytes->isEmpty())
                readAhead.insert(target, *std::move(bytes));
        }
        co_return answeredEmpty.value(target);
    }

    std::chrono::milliseconds budget() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - created);
    }

    static QString seconds(SelectionReader::Clock::duration duration)
    {
        return QString::number(std::chrono::duration<double>(duration).count(), 'f', 1);
    }

    std::optional<QByteArray> accept(SelectionReader::Result&& result, const QByteArray& target,
                                     SelectionReader::Clock::time_point start)
    {
        const QString elapsed = seconds(SelectionReader::Clock::now() - start);
        switch (result.outcome) {
        case SelectionReader::Outcome::converted:
        case SelectionReader::Outcome::tooLarge: return std::move(result.data);
        case SelectionReader::Outcome::refused:
            failures.insert(target, QStringLiteral("the owner refused it"));
            return std::nullopt;
        case SelectionReader::Outcome::timedOut:
            // A trickle is cut where its time ran out: part of a picture is no picture.
            failures.insert(target,
                            result.data.isEmpty() ? QStringLiteral("no answer within %1 s").arg(elapsed)
                                                  : QStringLiteral("still arriving after %1 s, %2 bytes so far")
                                                        .arg(elapsed)
                                                        .arg(result.data.size()));
            return std::nullopt;
        case SelectionReader::Outcome::ownerBusy:
            failures.insert(
                target, QStringLiteral("not begun, the owner was still on an earlier format after %1 s").arg(elapsed));
            return std::nullopt;
        case SelectionReader::Outcome::ownerChanged:
        case SelectionReader::Outcome::replaced:
        case SelectionReader::Outcome::ownerGone:
            // Another copy (or none, when the owner quit) replaced the one being read: that is a
            // change now, not after the read. What came whole before is still this copy.
            if (result.outcome == SelectionReader::Outcome::ownerChanged) {
                failures.insert(target, QStringLiteral("the clipboard changed before it came"));
                overReason = QStringLiteral("not asked for, the clipboard had changed");
            } else if (result.outcome == SelectionReader::Outcome::replaced) {
                failures.insert(target,
                                QStringLiteral("no answer in %1 s, when a newer copy replaced it").arg(elapsed));
                overReason = QStringLiteral("not asked for, the clipboard had changed");
            } else {
                failures.insert(target,
                                result.data.isEmpty()
                                    ? QStringLiteral("its owner quit before answering")
                                    : QStringLiteral("its owner quit after %1 bytes of it").arg(result.data.size()));
                overReason = QStringLiteral("not asked for, its owner had quit");
            }
            if (isCurrent()) {
                changes->unannouncedOwner = reader->owner();
                changes->countOne();
            }
            break;
        case SelectionReader::Outcome::failed:
            failures.insert(target, QStringLiteral("the X connection failed"));
            overReason = QStringLiteral("not asked for, the X connection had failed");
            break;
        case SelectionReader::Outcome::ended: ended = true; break;
        }
        over = true;
        return std::nullopt;
    }

    // Logs why none of the targets of `type` gave its bytes, once per type, unless the reader
    // ended (Tavlin is quitting).
    void reportSkipped(const QString& type, const QList<QByteArray>& targets)
    {
        QStringList reasons;
        for (const QByteArray& target : targets) {
            if (const auto failure = failures.constFind(target); failure != failures.cend())
                reasons.append(QString::fromUtf8(target) + QStringLiteral(": ") + *failure);
        }
        if (reasons.isEmpty() || ended || reported.contains(type))
            return;
        reported.insert(type);
        Log::error(QStringLiteral("Clipboard: %1 of the copy is skipped (%2)").arg(type, reasons.join(u"; ")));
    }

    // Asks the owner for its targets (ours are at hand) and presents them as items.
    QCoro::Task<> load();
    // One item per URL of `list`, a file list in `format`, the first with the other types too.
    // Thread-safe.
    static QList<std::shared_ptr<const PasteboardItem>> listItems(std::weak_ptr<Session> session,
                                                                  const QByteArray& format, const QByteArray& list,
                                                                  const QList<ClipRepresentation>& firstItemExtras,
                                                                  const QList<TargetMapping::Presented>& presented,
                                                                  const QList<TargetMapping::Presented>& conversions);
};

namespace {

// An item whose bytes are either fixed (URLs, the password hint) or converted on request.
class SessionItem : public PasteboardItem {
public:
    SessionItem(std::weak_ptr<X11Pasteboard::Session> session, QList<ClipRepresentation> fixed,
                QList<TargetMapping::Presented> converted, QList<TargetMapping::Presented> conversionsOfPNG = {})
        : session_(std::move(session)), fixed_(std::move(fixed)), converted_(std::move(converted)),
          conversionsOfPNG_(std::move(conversionsOfPNG))
    {
    }

    QStringList types() const override
    {
        QStringList types;
        for (const ClipRepresentation& representation : fixed_)
            types.append(representation.type);
        for (const TargetMapping::Presented& presented : converted_ + conversionsOfPNG_)
            types.append(presented.type);
        return types;
    }

    QCoro::Task<std::optional<QByteArray>> data(QString type) const override
    {
        // What came whole stays the copy's after a later change; the session asks nothing more
        // of an owner once the clipboard has changed, so two owners' bytes never mix.
        for (const ClipRepresentation& representation : fixed_) {
            if (representation.type == type)
                co_return representation.data;
        }
        const std::shared_ptr<X11Pasteboard::Session> session = session_.lock();
        if (!session)
            co_return std::nullopt;
        for (const TargetMapping::Presented& presented : converted_) {
            if (presented.type == type)
                co_return co_await firstBytes(*session, presented);
        }
        for (const TargetMapping::Presented& presented : conversionsOfPNG_) {
            // The same picture as the PNG: a copy of it only when the PNG came with no bytes.
            if (presented.type != type)
                continue;
            if (!co_await session->answersEmpty("image/png"))
                co_return QByteArray();
            co_return co_await firstBytes(*session, presented);
        }
        co_return std::nullopt;
    }

    void endRead() const override
    {
        if (const std::shared_ptr<X11Pasteboard::Session> session = session_.lock())
            session->readAhead.clear();
    }

private:
    // The bytes of the first of the type's targets that gives any. A target that answers with no
    // bytes is taken as not offered, and the next is asked. No bytes when none gave any and one
    // answered so; nothing when none answered.
    //
    // Latin-1 stands in only for UTF-8 text its owner answered with no bytes. Behind one that came
    // late or was refused there is text Latin-1 may not hold, and owners put `?` for every such
    // character: kept in its place, a text the user never copied would be pasted back. The
    // UTF-8 text is then left out, and logged, as any format that did not come.
    static QCoro::Task<std::optional<QByteArray>> firstBytes(X11Pasteboard::Session& session,
                                                             TargetMapping::Presented presented)
    {
        bool answeredEmpty = false;
        bool textMissing = false;
        for (const QByteArray& target : presented.targets) {
            if (target == TargetMapping::latin1Text && textMissing)
                continue;
            std::optional<QByteArray> bytes = co_await session.fetch(target);
            if (!bytes && session.failures.contains(target))
                textMissing = true;
            // Our own content is the stored bytes, as they were written.
            if (bytes && session.ownContent)
                co_return bytes;
            if (bytes && bytes->isEmpty())
                answeredEmpty = true;
            else if (bytes)
                co_return TargetMapping::presentedBytes(target, std::move(*bytes));
        }
        session.reportSkipped(presented.type, presented.targets);
        co_return answeredEmpty ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    }

    // Items keep their session alive through the pasteboard; a session never holds its items'
    // owners, so there is no cycle.
    std::weak_ptr<X11Pasteboard::Session> session_;
    QList<ClipRepresentation> fixed_;
    QList<TargetMapping::Presented> converted_;
    // The other encodings of an offered PNG, read only when it answers with no bytes.
    QList<TargetMapping::Presented> conversionsOfPNG_;
};

} // namespace

QCoro::Task<> X11Pasteboard::Session::load()
{
    if (loaded || owner == XCB_NONE)
        co_return;
    QList<QByteArray> targets;
    if (ownContent) {
        targets = ownTargets;
    } else {
        const SelectionReader::Clock::time_point start = SelectionReader::Clock::now();
        SelectionReader::Targets answer = co_await reader->targets(ownership, deadline);
        if (loaded)
            co_return; // another read of this change got there first
        if (answer.result.outcome != SelectionReader::Outcome::converted) {
            accept(std::move(answer.result), "TARGETS", start);
            loaded = true;
            if (const auto failure = failures.constFind("TARGETS"); failure != failures.cend())
                Log::error(QStringLiteral("Clipboard: the copy is not kept, its owner did not say what it holds "
                                          "(TARGETS: %1)")
                               .arg(*failure));
            co_return;
        }
        targets = std::move(answer.names);
    }

    QList<ClipRepresentation> firstItemExtras;
    if (targets.contains(TargetMapping::passwordHint)) {
        const std::optional<QByteArray> hint = co_await fetch(TargetMapping::passwordHint);
        if (!hint || hint->trimmed() == "secret") {
            // An owner that marks its secrets but did not say whether this is one is taken at its
            // word that it may be.
            if (!hint)
                reportSkipped(QString::fromUtf8(TargetMapping::passwordHint), {TargetMapping::passwordHint});
            firstItemExtras.append({PasteboardTypes::concealed, hint.value_or(QByteArray())});
        } else {
            firstItemExtras.append({QString::fromUtf8(TargetMapping::passwordHint), *hint});
        }
    }
    std::optional<QByteArray> list;
    // File managers that offer no text/uri-list offer their own form of the same list.
    const QByteArray fileList = targets.contains(TargetMapping::uriList) ? TargetMapping::uriList
        : targets.contains(TargetMapping::gnomeCopiedFiles)              ? TargetMapping::gnomeCopiedFiles
                                                                         : QByteArray();
    if (!fileList.isEmpty()) {
        list = co_await fetch(fileList);
        const auto failure = failures.constFind(fileList);
        if (!list && failure != failures.cend() && (over || !isCurrent())) {
            // A long list takes a while to come: files copied just before something else, or
            // from a program that quit, can be lost this way, and that is worth a word.
            reported.insert(QString::fromUtf8(fileList));
            Log::error(QStringLiteral("Clipboard: a file list is not kept (%1: %2)")
                           .arg(QString::fromUtf8(fileList), *failure));
        } else if (!list) {
            reportSkipped(QString::fromUtf8(fileList), {fileList});
        }
    }
    if (loaded)
        co_return;
    const QList<TargetMapping::Presented> presented = TargetMapping::presentedTypes(targets);
    // Our own content is read back as it was written.
    const QList<TargetMapping::Presented> conversions = ownContent ? QList<TargetMapping::Presented>{}
                                                                   : TargetMapping::conversionsOfPNG(targets);
    if (!list) {
        loaded = true;
        if (!firstItemExtras.isEmpty() || !presented.isEmpty())
            items.append(std::make_shared<SessionItem>(weak_from_this(), firstItemExtras, presented, conversions));
        co_return;
    }
    // A file manager's select-all can list a million files: the list is split into items on a
    // worker, and the main thread goes on meanwhile.
    QList<std::shared_ptr<const PasteboardItem>> listed = co_await QtConcurrent::run(
        &Session::listItems, weak_from_this(), fileList, *std::move(list), firstItemExtras, presented, conversions);
    if (loaded)
        co_return;
    loaded = true;
    items = std::move(listed);
}

QList<std::shared_ptr<const PasteboardItem>> X11Pasteboard::Session::listItems(
    std::weak_ptr<Session> session, const QByteArray& format, const QByteArray& list,
    const QList<ClipRepresentation>& firstItemExtras, const QList<TargetMapping::Presented>& presented,
    const QList<TargetMapping::Presented>& conversions)
{
    const QList<ClipRepresentation> urls = format == TargetMapping::uriList
        ? TargetMapping::urlRepresentations(list)
        : TargetMapping::copiedFileRepresentations(list);
    QList<std::shared_ptr<const PasteboardItem>> items;
    if (urls.isEmpty()) {
        if (!firstItemExtras.isEmpty() || !presented.isEmpty())
            items.append(std::make_shared<SessionItem>(session, firstItemExtras, presented, conversions));
        return items;
    }
    items.reserve(urls.size());
    items.append(std::make_shared<SessionItem>(session, QList<ClipRepresentation>{urls[0]} + firstItemExtras, presented,
                                               conversions));
    for (qsizetype i = 1; i < urls.size(); ++i) {
        items.append(std::make_shared<SessionItem>(session, QList<ClipRepresentation>{urls[i]},
                                                   QList<TargetMapping::Presented>{}));
    }
    return items;
}

X11Pasteboard::X11Pasteboard(std::chrono::milliseconds timeout, std::chrono::milliseconds budget, QObject* parent)
    : QObject(parent), clipboard_(QGuiApplication::clipboard()), changes_(std::make_shared<Changes>()),
      reader_(std::make_shared<SelectionReader>(timeout, budget / 2, transferLimit)), budget_(budget)
{
    connect(clipboard_, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode != QClipboard::Clipboard)
            return;
        const std::optional<xcb_window_t> unannounced = std::exchange(changes_->unannouncedOwner, std::nullopt);
        // A read counted this change already when the owner it saw is the owner still.
        if (!writing_ && unannounced && isAvailable() && reader_->owner() == *unannounced)
            return;
        changes_->countOne();
    });
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        const xcb_setup_t* setup = xcb_get_setup(x11->connection());
        qtResourceBase_ = setup->resource_id_base;
        qtResourceMask_ = setup->resource_id_mask;
    }
    if (!isAvailable())
        Log::error(QStringLiteral("Clipboard: no X11 display; the clipboard cannot be read"));
}

X11Pasteboard::~X11Pasteboard()
{
    // A read under way ends here, with what it has, rather than stay suspended for good.
    reader_->end();
}

qint64 X11Pasteboard::changeCount() const
{
    return changes_->count;
}

void X11Pasteboard::setChangeObserver(ChangeObserver observer)
{
    changes_->observer = std::move(observer);
}

template <class Write>
void X11Pasteboard::write(Write&& write)
{
    writing_ = true;
    write();
    writing_ = false;
}

bool X11Pasteboard::isAvailable() const
{
    return reader_->isValid() && qtResourceMask_ != 0;
}

bool X11Pasteboard::isOwnWindow(xcb_window_t window) const
{
    return window != XCB_NONE && qtResourceMask_ != 0 && (window & ~qtResourceMask_) == qtResourceBase_;
}

std::shared_ptr<X11Pasteboard::Session> X11Pasteboard::currentSession() const
{
    if (!isAvailable())
        return nullptr;
    const SelectionReader::Ownership ownership = reader_->ownership();
    if (session_ && session_->isCurrent() && !session_->ownContent
        && (session_->owner != ownership.owner || reader_->hasEnded(session_->ownership))) {
        // Taken over since this change was read first, and not announced yet: a change of its own.
        changes_->unannouncedOwner = ownership.owner;
        changes_->countOne();
    }
    if (!session_ || !session_->isCurrent())
        session_ = makeSession(ownership);
    return session_;
}

std::shared_ptr<X11Pasteboard::Session> X11Pasteboard::makeSession(SelectionReader::Ownership ownership) const
{
    const xcb_window_t owner = ownership.owner;
    auto session = std::make_shared<Session>();
    session->changeCount = changes_->count;
    session->owner = owner;
    session->ownership = ownership;
    session->changes = changes_;
    session->created = SelectionReader::Clock::now();
    session->deadline = session->created + budget_;
    if (owner == XCB_NONE)
        return session;
    if (isOwnWindow(owner)) {
        // Qt answers for us only while the event loop runs, so our own content is never asked
        // for over X.
        QHash<QByteArray, QByteArray> content;
        if (const QMimeData* mime = clipboard_->mimeData(QClipboard::Clipboard)) {
            for (const QString& format : mime->formats()) {
                session->ownTargets.append(format.toUtf8());
                content.insert(format.toUtf8(), mime->data(format));
            }
        }
        session->ownContent = content;
    } else {
        session->reader = reader_;
    }
    return session;
}

std::optional<QString> X11Pasteboard::ownerApplicationID() const
{
    const std::shared_ptr<Session> session = currentSession();
    if (!session || session->owner == XCB_NONE || !windowApplication_)
        return std::nullopt;
    if (!session->ownerApplication)
        session->ownerApplication = windowApplication_(session->owner);
    return *session->ownerApplication;
}

QCoro::Task<QList<std::shared_ptr<const PasteboardItem>>> X11Pasteboard::items() const
{
    const std::shared_ptr<Session> session = currentSession();
    if (!session)
        co_return {};
    co_await session->load();
    // A copy: QCoro moves from whatever lvalue a coroutine returns.
    co_return QList(session->items);
}

void X11Pasteboard::clearContents()
{
    write([&] { clipboard_->clear(QClipboard::Clipboard); });
}

bool X11Pasteboard::writeItems(const QList<ClipItem>& items)
{
    const QList<std::pair<QByteArray, QByteArray>> targets = TargetMapping::targetsForItems(items);
    if (targets.isEmpty())
        return false;
    auto* mime = new QMimeData;
    for (const auto& [target, data] : targets)
        mime->setData(QString::fromUtf8(target), data);
    write([&] { clipboard_->setMimeData(mime, QClipboard::Clipboard); });
    return clipboard_->ownsClipboard() && isAvailable() && isOwnWindow(reader_->owner());
}

} // namespace tavlin
