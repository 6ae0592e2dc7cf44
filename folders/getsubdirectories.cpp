// SPDX-License-Identifier: MIT
#include "getsubdirectories.h"

#include "filetests.h"
#include "folderfilesystem.h"
#include "platform/errortrap.h"
#include "platform/yield.h"

#include <QDir>
#include <QHash>
#include <QPair>

namespace quorvel {

namespace {
constexpr int kMaxPath = 260;
constexpr int kHiddenSystemFolder = 22;
constexpr int kHiddenSystemAlias = 1046;

// Which trap a call has armed: the error box until a folder is opened for
// reading, then the skip of the folder at hand.
enum class Mode { ErrorBox, Skip };
enum class Outcome { Done, Failed, Skipped };

class FolderScan {
public:
    FolderScan(Dialogs& dialogs, const FolderFileSystem& fs, FolderReadings* keep)
        : m_dialogs(dialogs), m_fs(fs), m_keep(keep) {}

    void scan(QStringList& folders, bool recurse);

private:
    struct Sighting {
        QString path;
        bool throughLink = false;
    };
    using Key = QPair<quint64, quint64>;

    bool refused(const QString& folder) const;
    void remember(const QString& path, const FolderIdentity& identity, bool throughLink);
    bool reachedAgain(const QString& parent, const QString& path);

    Dialogs& m_dialogs;
    const FolderFileSystem& m_fs;
    FolderReadings* m_keep;
    // Every folder the scan has taken in, to recognise one reached again
    // through a symbolic link (a loop back to an ancestor, or two links to one folder).
    QHash<Key, Sighting> m_seen;
    QHash<QString, bool> m_throughLink;
};

// One call's trap: the error box until a folder is opened for reading, then a
// skip of each folder that cannot be read. A call never gives up after some
// number of skips: an unreadable folder says nothing about its neighbours.
class CallTrap {
public:
    CallTrap(Dialogs& dialogs, QStringList& folders, qsizetype& index)
        : m_trap(dialogs, folderScanLocation()), m_folders(folders), m_index(index) {}

    void armSkip() { m_mode = Mode::Skip; }
    void rearmErrorBox() { m_mode = Mode::ErrorBox; }

    // `current` is the entry of the gathering loop the step works on; null
    // where no entry is at hand, so a skip removes nothing.
    template <typename Body> Outcome run(int line, const QString* current, Body&& body) {
        try {
            body();
            return Outcome::Done;
        } catch (...) {
            const AppError error = toAppError(std::current_exception());
            if (m_mode == Mode::ErrorBox) {
                m_trap.report(line, error);
                return Outcome::Failed;
            }
            skip(error, current);
            return Outcome::Skipped;
        }
    }

private:
    void skip(const AppError& error, const QString* current) {
        if (current == nullptr || (error.number() != errnum::kPermissionDenied &&
                                   error.number() != errnum::kPathNotFound)) {
            return;
        }
        const qsizetype at = m_folders.indexOf(*current);
        if (at < 0) {
            return;
        }
        m_folders.removeAt(at);
        // The loop goes on with the entry that followed the one it was on.
        if (at <= m_index) {
            --m_index;
        }
    }

    ErrorTrap m_trap;
    Mode m_mode = Mode::ErrorBox;
    QStringList& m_folders;
    qsizetype& m_index;
};

bool FolderScan::refused(const QString& folder) const {
    const int bits = m_fs.attributes(folder);
    const bool root = m_fs.isRootFolder(folder);
    return (bits == kHiddenSystemFolder || bits == kHiddenSystemAlias) && !root;
}

void FolderScan::remember(const QString& path, const FolderIdentity& identity, bool throughLink) {
    if (identity.valid) {
        const Key key(identity.device, identity.inode);
        if (!m_seen.contains(key)) {
            m_seen.insert(key, {path, throughLink});
        }
    }
    m_throughLink.insert(path, throughLink);
}

// Two real folders never share an identity, and a caller may well list a folder
// and its parent side by side; only a way through a link counts as "again".
bool FolderScan::reachedAgain(const QString& parent, const QString& path) {
    const FolderIdentity identity = m_fs.identity(path);
    const bool throughLink = identity.isLink || m_throughLink.value(parent, false);
    const QString entry = path + QDir::separator();
    if (identity.valid) {
        const auto earlier = m_seen.constFind(Key(identity.device, identity.inode));
        if (earlier != m_seen.cend() && earlier->path != entry &&
            (throughLink || earlier->throughLink)) {
            return true;
        }
    }
    remember(entry, identity, throughLink);
    return false;
}

void FolderScan::scan(QStringList& folders, bool recurse) {
    qsizetype index = 0;
    CallTrap trap(m_dialogs, folders, index);
    QStringList newFolders;

    for (index = 0; index < folders.size(); ++index) {
        const QString v = folders.at(index);
        if (!m_fs.isFolder(v) || v.size() >= kMaxPath) {
            continue;
        }
        if (!m_throughLink.contains(v)) {
            remember(v, m_fs.identity(v), false);
        }
        if (trap.run(112, &v, [&] { m_fs.openFolder(v); }) == Outcome::Skipped) {
            continue;
        }
        yieldToEventLoop();
        bool isRefused = false;
        // A test that fails outright lets the folder through.
        if (trap.run(116, &v, [&] { isRefused = refused(v); }) == Outcome::Skipped || isRefused) {
            continue;
        }
        trap.armSkip();
        trap.run(118, &v, [&] {
            m_fs.forEachSubFolder(
                v,
                [&](const QString& name) {
                    yieldToEventLoop();
                    if (name.size() >= kMaxPath || HasUnsafeNameChars(name) ||
                        name == QLatin1String(".") || name == QLatin1String("..")) {
                        return;
                    }
                    const QString path = v + name;
                    if (!reachedAgain(v, path)) {
                        newFolders.append(path + QDir::separator());
                    }
                },
                m_keep);
        });
    }

    if (recurse && !newFolders.isEmpty()) {
        trap.run(150, nullptr, [&] { scan(newFolders, true); });
    }

    trap.rearmErrorBox();
    for (const QString& w : std::as_const(newFolders)) {
        if (!m_fs.isFolder(w)) {
            continue;
        }
        yieldToEventLoop();
        bool isRefused = false;
        trap.run(158, nullptr, [&] { isRefused = refused(w); });
        if (!isRefused) {
            trap.run(160, nullptr, [&] { folders.append(w); });
        }
    }
}
} // namespace

QString folderScanLocation() {
    return locationText(QStringLiteral("MorlanTitle2021/08/31"), QStringLiteral("AddFolder"),
                        QStringLiteral("GetSubDirectories2016"));
}

void GetSubDirectories2016(QStringList& folders, bool recurse, Dialogs& dialogs,
                           const FolderFileSystem& fileSystem, FolderReadings* keep) {
    FolderScan(dialogs, fileSystem, keep).scan(folders, recurse);
}

void GetSubDirectories2016(QStringList& folders, bool recurse, Dialogs& dialogs) {
    GetSubDirectories2016(folders, recurse, dialogs, FolderFileSystem::real());
}

} // namespace quorvel
