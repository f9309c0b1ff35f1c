#include "PlistNesting.h"

#include <QtEndian>

#include <cstdint>
#include <vector>

namespace tavlin {

namespace {

constexpr QByteArrayView binaryMagic("bplist00");
constexpr qsizetype trailerSize = 32;

// The object table of a binary property list: bounds-checked reads, nothing trusted.
class BinaryObjects {
public:
    explicit BinaryObjects(QByteArrayView bytes) : bytes_(bytes) { }

    // Reads the trailer; false when it or the offset table does not fit the bytes.
    bool readTrailer()
    {
        if (bytes_.size() < binaryMagic.size() + trailerSize)
            return false;
        const qsizetype trailer = bytes_.size() - trailerSize;
        offsetSize_ = byteAt(trailer + 6);
        referenceSize_ = byteAt(trailer + 7);
        const quint64 count = number(trailer + 8, 8);
        top_ = number(trailer + 16, 8);
        const quint64 tableOffset = number(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || referenceSize_ < 1 || referenceSize_ > 8)
            return false;
        if (count < 1 || top_ >= count || tableOffset >= quint64(trailer)
            || count > (quint64(trailer) - tableOffset) / offsetSize_)
            return false;
        tableOffset_ = qsizetype(tableOffset);
        count_ = qsizetype(count);
        return true;
    }

    qsizetype count() const { return count_; }
    qsizetype top() const { return qsizetype(top_); }

    // An object as far as nesting goes: a container and the references it holds (a dictionary's
    // keys and values alike), a leaf, or something that lies outside the bytes.
    struct Object {
        enum Kind { leaf, container, malformed };
        Kind kind = malformed;
        qsizetype references = 0; // position of the first reference
        qsizetype count = 0; // number of references
    };
    Object object(qsizetype index) const
    {
        const quint64 offset = number(tableOffset_ + index * offsetSize_, offsetSize_);
        const qsizetype end = tableOffset_;
        if (offset < quint64(binaryMagic.size()) || offset >= quint64(end))
            return {};
        qsizetype position = qsizetype(offset);
        const int marker = byteAt(position++);
        const int kind = marker >> 4;
        if (kind != 0xA && kind != 0xC && kind != 0xD)
            return {Object::leaf};
        quint64 count = marker & 0x0F;
        if (count == 0x0F) {
            if (position >= end)
                return {};
            const int sizeMarker = byteAt(position++);
            const int width = 1 << (sizeMarker & 0x0F);
            if ((sizeMarker >> 4) != 0x1 || width > 8 || position + width > end)
                return {};
            count = number(position, width);
            position += width;
        }
        if (kind == 0xD) {
            if (count > quint64(end) / 2)
                return {};
            count *= 2;
        }
        if (count > quint64(end - position) / referenceSize_)
            return {};
        return {Object::container, position, qsizetype(count)};
    }

    // The object the `index`th reference of `container` points at, or -1 outside the table.
    qsizetype reference(const Object& container, qsizetype index) const
    {
        const quint64 object = number(container.references + index * referenceSize_, referenceSize_);
        return object < quint64(count_) ? qsizetype(object) : -1;
    }

private:
    int byteAt(qsizetype position) const { return static_cast<unsigned char>(bytes_[position]); }

    quint64 number(qsizetype position, int width) const
    {
        const auto* bytes = reinterpret_cast<const uchar*>(bytes_.data()) + position;
        switch (width) {
        case 1: return bytes[0];
        case 2: return qFromBigEndian<quint16>(bytes);
        case 3: return quint64(bytes[0]) << 16 | quint64(bytes[1]) << 8 | bytes[2];
        case 4: return qFromBigEndian<quint32>(bytes);
        case 8: return qFromBigEndian<quint64>(bytes);
        default: break;
        }
        quint64 value = 0;
        for (int i = 0; i < width; ++i)
            value = (value << 8) | quint64(bytes[i]);
        return value;
    }

    QByteArrayView bytes_;
    int offsetSize_ = 0;
    int referenceSize_ = 0;
    quint64 top_ = 0;
    qsizetype tableOffset_ = 0;
    qsizetype count_ = 0;
};

// Depth-first over the object graph with an explicit stack no deeper than `maximumDepth`. Each
// container's height (the longest chain of containers it starts) is kept once known, so an
// object referenced from many places is walked once.
bool binaryIsWithin(QByteArrayView bytes, int maximumDepth)
{
    BinaryObjects objects(bytes);
    if (!objects.readTrailer())
        return false;
    using Object = BinaryObjects::Object;
    const Object top = objects.object(objects.top());
    if (top.kind != Object::container)
        return top.kind == Object::leaf;
    if (maximumDepth < 1)
        return false;

    constexpr std::uint8_t unvisited = 0;
    constexpr std::uint8_t onPath = 0xFF;
    // unvisited, onPath, or the finished object's height + 1 (heights stay below 0xFE; a leaf's is 0).
    std::vector<std::uint8_t> state(static_cast<std::size_t>(objects.count()), unvisited);
    struct Frame {
        qsizetype index = 0;
        Object object;
        qsizetype next = 0;
        int tallestChild = 0;
    };
    std::vector<Frame> path(static_cast<std::size_t>(maximumDepth));
    int depth = 1; // frames in use
    path[0] = {objects.top(), top};
    state[std::size_t(objects.top())] = onPath;

    while (depth > 0) {
        Frame& frame = path[std::size_t(depth - 1)];
        if (frame.next == frame.object.count) {
            const int height = frame.tallestChild + 1;
            state[std::size_t(frame.index)] = std::uint8_t(height + 1);
            if (--depth > 0)
                path[std::size_t(depth - 1)].tallestChild = std::max(path[std::size_t(depth - 1)].tallestChild, height);
            continue;
        }
        const qsizetype child = objects.reference(frame.object, frame.next++);
        if (child < 0)
            return false;
        const std::uint8_t known = state[std::size_t(child)];
        if (known == onPath)
            return false; // a cycle nests without end
        if (known != unvisited) {
            const int height = known - 1;
            if (depth + height > maximumDepth)
                return false;
            frame.tallestChild = std::max(frame.tallestChild, height);
            continue;
        }
        const Object nested = objects.object(child);
        if (nested.kind == Object::malformed)
            return false;
        if (nested.kind == Object::leaf) {
            state[std::size_t(child)] = 1; // shared keys are read once
            continue;
        }
        if (depth == maximumDepth)
            return false;
        state[std::size_t(child)] = onPath;
        path[std::size_t(depth++)] = {child, nested};
    }
    return true;
}

bool startsWithAt(QByteArrayView bytes, qsizetype position, QByteArrayView text)
{
    return bytes.size() - position >= text.size() && bytes.sliced(position, text.size()) == text;
}

// True when `name` follows at `position` as a whole element name.
bool elementAt(QByteArrayView bytes, qsizetype position, QByteArrayView name)
{
    if (!startsWithAt(bytes, position, name))
        return false;
    const qsizetype after = position + name.size();
    if (after == bytes.size())
        return true;
    const char next = bytes[after];
    return next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\n' || next == '\r';
}

bool xmlIsWithin(QByteArrayView bytes, int maximumDepth)
{
    int depth = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '<')
            continue;
        if (startsWithAt(bytes, i, "<!--")) {
            const qsizetype end = bytes.indexOf(QByteArrayView("-->"), i + 4);
            if (end < 0)
                return true;
            i = end + 2;
            continue;
        }
        const bool closing = i + 1 < bytes.size() && bytes[i + 1] == '/';
        const qsizetype name = i + (closing ? 2 : 1);
        if (!elementAt(bytes, name, "array") && !elementAt(bytes, name, "dict"))
            continue;
        if (closing) {
            depth = std::max(depth - 1, 0);
            continue;
        }
        const qsizetype end = bytes.indexOf('>', name);
        if (end < 0)
            return true; // unfinished: the parser refuses it
        if (bytes[end - 1] == '/')
            continue; // <array/> holds nothing
        if (++depth > maximumDepth)
            return false;
        i = end;
    }
    return true;
}

} // namespace

bool PlistNesting::isWithin(QByteArrayView bytes, int maximumDepth)
{
    if (bytes.startsWith(binaryMagic))
        return binaryIsWithin(bytes, maximumDepth);
    return xmlIsWithin(bytes, maximumDepth);
}

} // namespace tavlin
