#pragma once

#include "platform/messages.h"

// Messages shown as modal message boxes.
class MessageBoxSink : public msg::Sink {
 public:
  msg::Button show(msg::Kind kind, const QString& caption, const QString& text, int buttons,
                   msg::Button defaultButton) override;
};
