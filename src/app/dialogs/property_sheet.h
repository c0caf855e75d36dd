#pragma once

#include <QDialog>

class QPushButton;
class QTabWidget;

namespace kel {

class PropertyPage;
class UserMessages;

// A tabbed dialog of property pages with "OK" (default) and "Cancel". A page's edits are
// filled when it is first shown and read back when the user leaves it or presses OK;
// while a field of the page on show is refused, the sheet neither changes tab nor
// closes with OK. Cancel always closes.
class PropertySheet : public QDialog {
    Q_OBJECT

public:
    PropertySheet(const QString& caption, UserMessages& messages, QWidget* parent = nullptr);

    // Appends a tab; the sheet takes the page as its child.
    void addPage(PropertyPage* page);
    int pageCount() const;
    PropertyPage* page(int index) const;
    PropertyPage* currentPage() const;

    // OK: closes only when the page on show accepts its fields.
    void accept() override;

    QTabWidget* tabs() const { return tabs_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // +1 for a key that goes to the next page, -1 for the previous one, else 0.
    static int pageStep(const QKeyEvent& event);
    void stepPage(int step);
    // Tab: the tabs, the fields of the page on show, OK, Cancel.
    void arrangeTabOrder();
    // Fills a page on its first show and puts the focus on its first field.
    void showPage(PropertyPage& shown);
    void onCurrentChanged(int index);
    // Reads the page on show back; false, with the message shown and the field focused,
    // when a field is refused.
    bool storeCurrentPage();

    UserMessages& messages_;
    QTabWidget* tabs_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    int shownIndex_ = -1;  // the page whose edits hold the user's input
    bool revertingTab_ = false;
};

}  // namespace kel
