#include "platform/document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/user_messages.h"

namespace kel {
namespace {

class PlainDocument : public Document {
public:
    bool onOpenDocument(const std::string&) override { return true; }
    bool onSaveDocument(const std::string&) override { return true; }
};

// Logs its updates and can take itself off the document while being updated.
struct LoggingView : View {
    LoggingView(Document& document, std::string name, std::vector<std::string>& log)
        : document(document), name(std::move(name)), log(log) {
        document.addView(this);
    }
    void onUpdate(View*, int hint) override {
        log.push_back(name + ":" + std::to_string(hint));
        if (leaveOnUpdate) {
            document.removeView(this);
        }
    }
    Document& document;
    std::string name;
    std::vector<std::string>& log;
    bool leaveOnUpdate = false;
};

TEST(DocumentTest, UpdatesEveryViewOnceEvenWhenOneLeaves) {
    PlainDocument document;
    std::vector<std::string> log;
    LoggingView first(document, "first", log);
    LoggingView second(document, "second", log);
    document.addView(&first);  // adding twice keeps one entry
    first.leaveOnUpdate = true;
    document.updateAllViews(nullptr, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"first:0", "second:0"}));
    log.clear();
    document.updateAllViews(&second, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"second:1"}));
}

// Text from outside is shown bounded and printable, whatever it holds.
TEST(UserMessagesTest, PrintableExcerptBoundsAndMasksOutsideText) {
    const std::string e = "\xc3\xa9";  // one character, two bytes
    const struct {
        std::string text;
        std::size_t max;
        std::string shown;
    } cases[] = {
        {"/scenes/room.kel", 200, "/scenes/room.kel"},
        {std::string(200, 'x'), 200, std::string(200, 'x')},
        {std::string(1 << 20, 'x'), 200, std::string(200, 'x') + "..."},
        {"a\nb\tc\x7f\x1b[2J", 200, "a?b?c??[2J"},
        {"caf" + e + e + "s", 4, "caf" + e + "..."},
        {e + e + e, 2, e + e + "..."},
        {"", 200, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(printableExcerpt(c.text, c.max), c.shown) << c.text.substr(0, 20);
    }
}

}  // namespace
}  // namespace kel
