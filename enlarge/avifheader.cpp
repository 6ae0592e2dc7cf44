// SPDX-License-Identifier: MIT
#include "avifheader.h"

#include <QByteArray>
#include <QIODevice>
#include <functional>
#include <limits>
#include <vector>

namespace quorvel {

namespace {

// The file is untrusted: every size it states is held against its parent box
// before it is used, and the walk stays short however the boxes are laid out.
constexpr int kMaxBoxesPerLevel = 4096;
// The few boxes read whole (ftyp, pitm, ipma) are far smaller in any real file.
constexpr qint64 kMaxBodyRead = 1 << 20;

struct Box {
    QByteArray type;
    qint64 body = 0; // the first byte after the header
    qint64 end = 0;  // the first byte after the box
};

/// Big-endian fields read in order; a read past the end sets `ok` to false for good.
class FieldReader {
public:
    explicit FieldReader(const QByteArray& bytes) : m_bytes(bytes) {}

    quint32 next(int width) {
        if (!m_ok || m_bytes.size() - m_pos < width) {
            m_ok = false;
            return 0;
        }
        quint32 value = 0;
        for (int i = 0; i < width; ++i) {
            value = value << 8 | quint8(m_bytes[m_pos++]);
        }
        return value;
    }
    QByteArray fourCc() {
        const qsizetype start = m_pos;
        next(4);
        return m_ok ? m_bytes.mid(start, 4) : QByteArray();
    }
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_bytes.size(); }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

class BoxWalker {
public:
    explicit BoxWalker(QIODevice& device) : m_device(device) {}

    /// Exactly `length` bytes at `offset`, or nothing.
    std::optional<QByteArray> read(qint64 offset, qint64 length) {
        if (length < 0 || !m_device.seek(offset)) {
            return std::nullopt;
        }
        QByteArray bytes = m_device.read(length);
        if (bytes.size() != length) {
            return std::nullopt;
        }
        return bytes;
    }

    /// A small box's whole body.
    std::optional<QByteArray> body(const Box& box) {
        const qint64 length = box.end - box.body;
        return length <= kMaxBodyRead ? read(box.body, length) : std::nullopt;
    }

    /// The first box in [begin, end) that `wanted` takes; nothing when none
    /// does or a box before it does not fit its parent.
    std::optional<Box> find(qint64 begin, qint64 end,
                            const std::function<bool(const Box&)>& wanted) {
        qint64 offset = begin;
        for (int i = 0; i < kMaxBoxesPerLevel && offset < end; ++i) {
            const std::optional<Box> box = boxAt(offset, end);
            if (!box) {
                return std::nullopt;
            }
            if (wanted(*box)) {
                return box;
            }
            offset = box->end;
        }
        return std::nullopt;
    }

    std::optional<Box> find(qint64 begin, qint64 end, const char* type) {
        return find(begin, end, [type](const Box& box) { return box.type == type; });
    }

private:
    std::optional<Box> boxAt(qint64 offset, qint64 end) {
        const std::optional<QByteArray> header = read(offset, 8);
        if (!header) {
            return std::nullopt;
        }
        FieldReader fields(*header);
        quint64 size = fields.next(4);
        const QByteArray type = fields.fourCc();
        qint64 headerSize = 8;
        if (size == 1) {
            const std::optional<QByteArray> large = read(offset + 8, 8);
            if (!large) {
                return std::nullopt;
            }
            FieldReader largeFields(*large);
            size = quint64(largeFields.next(4)) << 32;
            size |= largeFields.next(4);
            headerSize = 16;
        } else if (size == 0) {
            size = quint64(end - offset); // the last box runs to the end of its parent
        }
        if (size < quint64(headerSize) || size > quint64(end - offset)) {
            return std::nullopt;
        }
        return Box{type, offset + headerSize, offset + qint64(size)};
    }

    QIODevice& m_device;
};

bool isAvif(const QByteArray& ftyp) {
    FieldReader fields(ftyp);
    const QByteArray major = fields.fourCc();
    fields.next(4); // minor version
    for (QByteArray brand = major; fields.ok(); brand = fields.fourCc()) {
        if (brand == "avif" || brand == "avis") {
            return true;
        }
        if (fields.atEnd()) {
            break;
        }
    }
    return false;
}

std::optional<quint32> primaryItem(const QByteArray& pitm) {
    FieldReader fields(pitm);
    const quint32 version = fields.next(1);
    fields.next(3); // flags
    const quint32 item = fields.next(version == 0 ? 2 : 4);
    return fields.ok() ? std::optional(item) : std::nullopt;
}

/// The property indices (from 1) that an 'ipma' body associates with `item`.
std::vector<int> propertiesOf(const QByteArray& ipma, quint32 item) {
    FieldReader fields(ipma);
    const quint32 version = fields.next(1);
    const quint32 flags = fields.next(3);
    const quint32 entries = fields.next(4);
    const bool wideIndex = flags & 1;
    for (quint32 i = 0; i < entries && fields.ok(); ++i) {
        const quint32 id = fields.next(version < 1 ? 2 : 4);
        const quint32 count = fields.next(1);
        std::vector<int> indices;
        for (quint32 j = 0; j < count; ++j) {
            // The top bit marks an essential property; the rest is the index.
            const quint32 value = wideIndex ? fields.next(2) & 0x7fff : fields.next(1) & 0x7f;
            if (value != 0) {
                indices.push_back(int(value));
            }
        }
        if (fields.ok() && id == item) {
            return indices;
        }
    }
    return {};
}

std::optional<QSize> spatialExtent(const QByteArray& ispe) {
    FieldReader fields(ispe);
    fields.next(4); // version and flags
    const quint32 width = fields.next(4);
    const quint32 height = fields.next(4);
    constexpr quint32 kMaxSide = std::numeric_limits<int>::max();
    if (!fields.ok() || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        return std::nullopt;
    }
    return QSize(int(width), int(height));
}

} // namespace

std::optional<QSize> avifPictureSize(QIODevice& device) {
    if (device.isSequential()) {
        return std::nullopt;
    }
    BoxWalker walker(device);
    const qint64 fileEnd = device.size();
    const auto ftyp = walker.find(0, fileEnd, [](const Box&) { return true; });
    if (!ftyp || ftyp->type != "ftyp") {
        return std::nullopt;
    }
    const auto ftypBody = walker.body(*ftyp);
    if (!ftypBody || !isAvif(*ftypBody)) {
        return std::nullopt;
    }
    const auto meta = walker.find(ftyp->end, fileEnd, "meta");
    if (!meta) {
        return std::nullopt;
    }
    // 'meta' is a full box: its children follow the version and flags.
    const qint64 metaChildren = meta->body + 4;
    const auto pitm = walker.find(metaChildren, meta->end, "pitm");
    const auto iprp = walker.find(metaChildren, meta->end, "iprp");
    if (!pitm || !iprp) {
        return std::nullopt;
    }
    const auto pitmBody = walker.body(*pitm);
    const auto item = pitmBody ? primaryItem(*pitmBody) : std::nullopt;
    const auto ipco = walker.find(iprp->body, iprp->end, "ipco");
    if (!item || !ipco) {
        return std::nullopt;
    }
    std::vector<int> properties;
    walker.find(iprp->body, iprp->end, [&](const Box& box) {
        if (box.type != "ipma") {
            return false;
        }
        const auto ipma = walker.body(box);
        properties = ipma ? propertiesOf(*ipma, *item) : std::vector<int>();
        return !properties.empty();
    });
    // Properties are numbered by their place in 'ipco', from 1.
    std::vector<Box> ipcoChildren;
    walker.find(ipco->body, ipco->end, [&](const Box& box) {
        ipcoChildren.push_back(box);
        return false;
    });
    // A picture rotated by its 'irot' swaps its sides, and both sides meet the
    // same limit; a 'clap' crop only makes it smaller.
    for (const int index : properties) {
        if (index <= int(ipcoChildren.size()) && ipcoChildren[index - 1].type == "ispe") {
            const auto ispe = walker.body(ipcoChildren[index - 1]);
            return ispe ? spatialExtent(*ispe) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace quorvel
