#pragma once

#include <QString>

// Every message box of the program goes through here, so that tests can read the text, caption
// and buttons and answer in place of a person.
namespace msg {

enum class Kind { Information, Warning, Error, Confirmation, Plain };  // Plain: no icon

enum Button { Ok = 1, Cancel = 2, Yes = 4, No = 8 };

class Sink {
 public:
  virtual ~Sink() = default;
  // Returns the button pressed.
  virtual Button show(Kind kind, const QString& caption, const QString& text, int buttons,
                      Button defaultButton) = 0;
};

// The sink in use; the program installs its windows' sink at start, tests their recorder.
// Without one, messages go to the error stream and the default button is taken.
void setSink(Sink* sink);
Sink* sink();

QString defaultCaption(Kind kind);

Button show(Kind kind, const QString& text, const QString& caption = {}, int buttons = Ok,
            Button defaultButton = Ok);
inline void error(const QString& text, const QString& caption = {}) {
  show(Kind::Error, text, caption);
}
inline void warning(const QString& text, const QString& caption = {}) {
  show(Kind::Warning, text, caption);
}
inline void info(const QString& text, const QString& caption = {}) {
  show(Kind::Information, text, caption);
}
// Yes / No question; true for Yes.
bool confirm(const QString& text, const QString& caption = {}, Button defaultButton = Yes);

}  // namespace msg
