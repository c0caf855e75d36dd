#pragma once

#include <QList>
#include <QObject>

class QSplitter;

namespace kel {

// Moves the bar of a two-pane splitter from the keyboard: while tracking, the bar has the
// keyboard focus; Left and Right move it by kStep pixels, Enter (or losing the focus) keeps
// the new position and Escape restores the one it had when tracking began.
class SplitTracker : public QObject {
    Q_OBJECT

public:
    static constexpr int kStep = 8;

    explicit SplitTracker(QSplitter& splitter);
    ~SplitTracker() override;

    void start();
    bool isTracking() const { return tracking_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveBy(int dx);
    void finish(bool keep);

    QSplitter& splitter_;
    QList<int> savedSizes_;
    bool tracking_ = false;
};

}  // namespace kel
