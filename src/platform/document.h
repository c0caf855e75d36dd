#pragma once

#include <string>
#include <vector>

namespace kel {

class Document;

// Something that shows a document and is told when the document changed.
class View {
public:
    virtual ~View() = default;
    // hint 0: the scene changed; other hints are for views that want to tell updates apart.
    virtual void onUpdate(View* sender, int hint) = 0;
};

// The document half of the document/view layer: title, path, the views showing it, and
// the open, save and close steps a concrete document fills in. The windowing layer owns
// the documents and calls these steps; the views are not owned.
class Document {
public:
    Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;
    virtual ~Document() = default;

    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; }
    const std::string& pathName() const { return pathName_; }
    // Also makes the file name (the text after the last '/') the title.
    void setPathName(const std::string& path);

    void addView(View* view);
    void removeView(View* view);
    const std::vector<View*>& views() const { return views_; }
    // Tells every view, sender included, in the order they were added.
    void updateAllViews(View* sender, int hint = 0);

    virtual bool onNewDocument() { return true; }
    virtual bool onOpenDocument(const std::string& path) = 0;
    virtual bool onSaveDocument(const std::string& path) = 0;
    // Runs before the windowing layer closes the document's windows and destroys it. False
    // means the document must stay open (a save the user asked for failed).
    virtual bool onCloseDocument() { return true; }

private:
    std::string title_;
    std::string pathName_;
    std::vector<View*> views_;
};

}  // namespace kel
