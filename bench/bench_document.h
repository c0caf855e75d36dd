#pragma once

#include <string>

#include "files/kel_doc.h"
#include "platform/user_messages.h"

namespace kel::bench {

// Message boxes of a bench tool: one line on stderr each, prefixed with the tool's name.
class StderrMessages : public UserMessages {
public:
    explicit StderrMessages(std::string program) : program_(std::move(program)) {}
    void showError(const std::string& text) override;
    bool askYesNo(const std::string& text) override;

private:
    std::string program_;
};

// A scene opened as the viewer opens it, for a bench tool.
class BenchDocument {
public:
    explicit BenchDocument(const std::string& program) : messages_(program), document_(messages_) {}
    // False when the scene cannot be read (the reason is on stderr).
    bool open(const std::string& path);
    Scene& scene() const { return *document_.scene(); }

private:
    StderrMessages messages_;
    CKelDoc document_;
};

}  // namespace kel::bench
