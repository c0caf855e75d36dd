#pragma once

#include <QDialog>

namespace kel {

// "About Kel": the program icon, the version text and an OK button.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kVersionText = "Kel Version 1.0.0.2";

    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace kel
