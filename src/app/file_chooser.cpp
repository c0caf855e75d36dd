#include "app/file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace kel {

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
    QString name = QFileDialog::getSaveFileName(parent, QStringLiteral("Save As"),
                                                QString::fromStdString(suggested),
                                                QString::fromLatin1(kKelFileFilter));
    if (name.isEmpty()) {
        return std::nullopt;
    }
    // The filter names the type; a name typed without it gets the scene file extension.
    if (QFileInfo(name).suffix().isEmpty()) {
        name += QStringLiteral(".kel");
    }
    return name.toStdString();
}

std::optional<std::string> QtFileChooser::chooseImageToSave(QWidget* parent,
                                                            const std::string& suggested) {
    QString name = QFileDialog::getSaveFileName(parent, QStringLiteral("Export Image"),
                                                QString::fromStdString(suggested),
                                                QString::fromLatin1(kPngFileFilter));
    if (name.isEmpty()) {
        return std::nullopt;
    }
    if (QFileInfo(name).suffix().isEmpty()) {
        name += QStringLiteral(".png");
    }
    return name.toStdString();
}

}  // namespace kel
