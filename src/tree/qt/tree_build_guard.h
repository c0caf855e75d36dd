#pragma once

class QWidget;

namespace kel {

// Around every build and refresh of the tree: the busy cursor shows and the widget stops
// redrawing until the guard goes, on every way out of the scope. Guards nest.
class TreeBuildGuard {
public:
    explicit TreeBuildGuard(QWidget& widget);
    ~TreeBuildGuard();
    TreeBuildGuard(const TreeBuildGuard&) = delete;
    TreeBuildGuard& operator=(const TreeBuildGuard&) = delete;

private:
    QWidget& widget_;
    bool wasUpdating_;
};

}  // namespace kel
