#pragma once

#include "platform/messages.h"

#include <QStringList>

#include <deque>
#include <vector>

namespace testsupport {

// Installs itself as the message sink for its lifetime; records every message and answers with
// the queued buttons (the default button when the queue is empty).
class MessageRecorder : public msg::Sink {
 public:
  struct Message {
    msg::Kind kind;
    QString caption;
    QString text;
    int buttons;
  };
  MessageRecorder() : previous_(msg::sink()) { msg::setSink(this); }
  ~MessageRecorder() override { msg::setSink(previous_); }

  msg::Button show(msg::Kind kind, const QString& caption, const QString& text, int buttons,
                   msg::Button defaultButton) override {
    messages.push_back({kind, caption, text, buttons});
    if (answers.empty()) return defaultButton;
    const msg::Button b = answers.front();
    answers.pop_front();
    return b;
  }
  QStringList texts() const {
    QStringList out;
    for (const auto& m : messages) out << m.text;
    return out;
  }

  std::vector<Message> messages;
  std::deque<msg::Button> answers;

 private:
  msg::Sink* previous_;
};

}  // namespace testsupport
