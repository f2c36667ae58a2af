#pragma once

#include <string>
#include <vector>

#include "app/messages.h"
#include "support/test_files.h"

namespace lobewright::testing {

// Keeps every message the core hands out, so tests can check what the user would have seen.
class RecordingSink : public MessageSink {
 public:
  struct Message {
    std::string caption;
    std::string text;
  };

  void show(const std::string& caption, const std::string& text) override {
    messages.push_back({caption, text});
  }

  std::vector<Message> messages;
};

}  // namespace lobewright::testing
