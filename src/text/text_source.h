// Where a reader's text comes from: a file (or pipe) named by its path, or text already in
// memory. Readers take one of these rather than a path, so that tests and format detection can
// hand them a string without a file.
#pragma once

#include <memory>
#include <string>

namespace tarvel {

class text_source {
  public:
    // No text at all: a reader on it finds nothing (used where only a reader's line matchers
    // are wanted).
    text_source() : content_(std::make_shared<const std::string>()) {}

    // The file at `path`; opened by whoever reads it.
    static text_source file(std::string path) {
        text_source source;
        source.name_ = std::move(path);
        source.content_.reset();
        return source;
    }

    // `content` itself, called `name` in messages.
    static text_source text(std::string content, std::string name = "<text>") {
        text_source source;
        source.name_ = std::move(name);
        source.content_ = std::make_shared<const std::string>(std::move(content));
        return source;
    }

    bool is_file() const { return content_ == nullptr; }
    // The path of a file, or the name given to text in memory.
    const std::string& name() const { return name_; }
    // The text in memory; null for a file.
    const std::shared_ptr<const std::string>& content() const { return content_; }

  private:
    std::string name_;
    std::shared_ptr<const std::string> content_;  // shared: a source is copied to each reader
};

}  // namespace tarvel
