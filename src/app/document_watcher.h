#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <map>

namespace kel {

class CKelDoc;

// Watches a scene's file, its object files and its folder (where a missing object file
// may appear), and says when any of them changed on disk. Editors and Kel's own save
// replace files by rename, which drops them from the watch: every path is added again
// after each change. What was last seen is kept per file, so a notice that changes
// nothing (the document's own save, once remembered) is no change.
class DocumentWatcher : public QObject {
    Q_OBJECT

public:
    explicit DocumentWatcher(const CKelDoc& document, QObject* parent = nullptr);

    // Takes the document's files as they are now: after an open, a reload or a save.
    void remember();
    // Compares the files with what was remembered; true when one differs. Used by the
    // timer, and by tests that cannot wait for the platform's notices.
    bool hasChanged() const;
    // Delay between the last notice and the check: editors write in several steps.
    static constexpr int kSettleMs = 150;

signals:
    void changedOnDisk();

private:
    struct Seen {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        friend bool operator==(const Seen&, const Seen&) = default;
    };
    std::map<QString, Seen> currentFiles() const;
    void watchAgain();
    void onNotice();
    void check();

    const CKelDoc& document_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    std::map<QString, Seen> seen_;
};

}  // namespace kel
