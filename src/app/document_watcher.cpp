#include "app/document_watcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include "files/kel_doc.h"
#include "model/scene.h"
#include "model/scene_object.h"

namespace kel {

namespace {

// The object file names a scene file gives: its tokens that are not numbers. This covers
// the object files that could not be read, which the scene has no object for.
QStringList namesIn(const QString& sceneFile) {
    QStringList names;
    QFile file(sceneFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return names;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        QString token;
        in >> token;
        bool number = false;
        token.toDouble(&number);
        if (!token.isEmpty() && !number) {
            names << token;
        }
    }
    return names;
}

}  // namespace

DocumentWatcher::DocumentWatcher(const CKelDoc& document, QObject* parent)
    : QObject(parent), document_(document) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &DocumentWatcher::check);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &DocumentWatcher::onNotice);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &DocumentWatcher::onNotice);
    remember();
}

std::map<QString, DocumentWatcher::Seen> DocumentWatcher::currentFiles() const {
    std::map<QString, Seen> files;
    const QString scenePath = QString::fromStdString(document_.pathName());
    if (scenePath.isEmpty()) {
        return files;
    }
    const QDir folder = QFileInfo(scenePath).absoluteDir();
    QStringList paths{scenePath};
    for (const QString& name : namesIn(scenePath)) {
        paths << folder.absoluteFilePath(name);
    }
    if (const Scene* scene = document_.scene()) {
        for (std::size_t i = 0; i < scene->objectCount(); ++i) {
            paths << folder.absoluteFilePath(QString::fromStdString(scene->object(i)->name()));
        }
    }
    for (const QString& path : paths) {
        const QFileInfo info(path);
        Seen seen;
        seen.exists = info.exists();
        if (seen.exists) {
            seen.size = info.size();
            seen.modified = info.lastModified();
        }
        files[QDir::cleanPath(path)] = seen;
    }
    return files;
}

void DocumentWatcher::remember() {
    seen_ = currentFiles();
    watchAgain();
}

bool DocumentWatcher::hasChanged() const {
    return currentFiles() != seen_;
}

void DocumentWatcher::watchAgain() {
    QStringList wanted;
    for (const auto& [path, seen] : seen_) {
        if (seen.exists) {
            wanted << path;
        }
    }
    if (!seen_.empty()) {
        wanted << QFileInfo(QString::fromStdString(document_.pathName())).absolutePath();
    }
    wanted.removeDuplicates();
    const QStringList watched = watcher_.files() + watcher_.directories();
    QStringList missing;
    for (const QString& path : wanted) {
        if (!watched.contains(path)) {
            missing << path;
        }
    }
    if (!missing.isEmpty()) {
        watcher_.addPaths(missing);
    }
}

void DocumentWatcher::onNotice() {
    settle_.start();
}

void DocumentWatcher::check() {
    watchAgain();
    if (hasChanged()) {
        // Remembered first: a question that is answered No does not come back until the
        // files change again.
        seen_ = currentFiles();
        watchAgain();
        emit changedOnDisk();
    }
}

}  // namespace kel
