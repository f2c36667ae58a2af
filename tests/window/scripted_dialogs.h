#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "window/dialog_presenter.h"

namespace lobewright::testing {

// Answers the window's file dialogs and questions from a script written in advance and keeps
// every message box and question the window shows, in order.
class ScriptedDialogs : public DialogPresenter {
 public:
  struct Answer {
    std::string fileName;
    int filterIndex = 1;
  };
  struct Shown {
    std::string dialog;
    std::string proposedFileName;
    int proposedFilterIndex;
  };
  struct Message {
    std::string caption;
    std::string text;
    bool operator==(const Message&) const = default;
  };

  void confirm(std::string fileName, int filterIndex = 1) {
    answers.push_back(Answer{std::move(fileName), filterIndex});
  }
  void cancel() { answers.push_back(std::nullopt); }

  bool execute(FileDialog& dialog) override {
    shown.push_back({dialog.name, dialog.fileName, dialog.filterIndex});
    if (answers.empty()) {
      ADD_FAILURE() << "no answer scripted for " << dialog.name;
      return false;
    }
    const std::optional<Answer> answer = answers.front();
    answers.pop_front();
    if (!answer) return false;
    dialog.fileName = answer->fileName;
    dialog.filterIndex = answer->filterIndex;
    return true;
  }

  // The reply to the next question.
  void reply(bool yes) { replies.push_back(yes); }

  bool ask(const std::string& caption, const std::string& question) override {
    questions.push_back({caption, question});
    if (replies.empty()) {
      ADD_FAILURE() << "no reply scripted for: " << question;
      return false;
    }
    const bool yes = replies.front();
    replies.pop_front();
    return yes;
  }

  void show(const std::string& caption, const std::string& text) override {
    messages.push_back({caption, text});
    if (onMessage) onMessage(caption, text);
  }

  std::deque<std::optional<Answer>> answers;
  std::vector<Shown> shown;
  std::vector<Message> messages;
  std::deque<bool> replies;
  std::vector<Message> questions;
  // Runs as each message box is shown, while the window is as it was at that moment; it may
  // throw to stand for a failure inside a command.
  std::function<void(const std::string& caption, const std::string& text)> onMessage;
};

}  // namespace lobewright::testing
