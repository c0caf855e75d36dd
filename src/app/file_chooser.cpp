#include "app/file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace kel {

namespace {

// A save dialog starting at `suggested`. The filter names the type; a name typed without an
// extension gets the type's own.
std::optional<std::string> chooseNameToSave(QWidget* parent, const QString& title,
                                            const std::string& suggested, const char* filter,
                                            const QString& extension) {
    QString name = QFileDialog::getSaveFileName(parent, title, QString::fromStdString(suggested),
                                                QString::fromLatin1(filter));
    if (name.isEmpty()) {
        return std::nullopt;
    }
    if (QFileInfo(name).suffix().isEmpty()) {
        name += extension;
    }
    return name.toStdString();
}

}  // namespace

std::optional<std::string> QtFileChooser::chooseFileToOpen(QWidget* parent) {
    // Qt's own dialog matches the patterns in any case, so PART.STL is offered too.
    const QString name = QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), QString(),
                                                      QString::fromLatin1(kOpenFileFilter));
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return name.toStdString();
}

std::optional<std::string> QtFileChooser::chooseFileToSave(QWidget* parent,
                                                           const std::string& suggested) {
    return chooseNameToSave(parent, QStringLiteral("Save As"), suggested, kKelFileFilter,
                            QStringLiteral(".kel"));
}

std::optional<std::string> QtFileChooser::chooseImageToSave(QWidget* parent,
                                                            const std::string& suggested) {
    return chooseNameToSave(parent, QStringLiteral("Export Image"), suggested, kPngFileFilter,
                            QStringLiteral(".png"));
}

}  // namespace kel
