#include "ui/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <string_view>

#include "ui/message_advice.h"

namespace kelmor {

namespace {

bool StartsWith(const std::string& text, std::string_view start) {
  return text.compare(0, start.size(), start) == 0;
}

QMessageBox::Icon IconOf(Tone tone) {
  switch (tone) {
    case Tone::Question: return QMessageBox::Question;
    case Tone::Warning: return QMessageBox::Warning;
    case Tone::Critical: return QMessageBox::Critical;
    case Tone::Information: break;
  }
  return QMessageBox::Information;
}

int Ask(Tone tone, const std::string& text, QMessageBox::StandardButtons buttons,
        const std::string& detail = {}) {
  QMessageBox box(IconOf(tone), QApplication::applicationName(), QString::fromStdString(text),
                  buttons, QApplication::activeWindow());
  // The reason in plain words and what to do, under the system's own text.
  const std::string advice = MessageAdvice(text);
  const std::string under = detail.empty() ? advice : advice.empty() ? detail : detail + "\n\n" + advice;
  if (!under.empty()) box.setInformativeText(QString::fromStdString(under));
  // Escape answers No / Cancel; Enter the first button.
  return box.exec();
}

}  // namespace

Tone MessageTone(const std::string& text) {
  // The error handler's reports (a run abandoned or resumed after a failure) and a
  // settings file that cannot be read or written.
  static constexpr std::string_view critical[] = {
      "KELMOR has come across error",
      "Kelmor has come across an Error",
      "Kelmor has detected",
      "Kelmor could not save",
      "Error: Overflow",
      "Error: Subscript out of range",
      "Error: Zero divide",
      "Error:  File or directory not found",
  };
  // Refused options and input, and advice the user should act on.
  static constexpr std::string_view warning[] = {
      "Error", "Input file error", "Input error", "Unexpected End of File", "Warning",
      "You must choose", "One of your default file paths", "Unknown line in kelmor.ini",
      "Run ended after",
  };
  for (std::string_view start : critical)
    if (StartsWith(text, start)) return Tone::Critical;
  for (std::string_view start : warning)
    if (StartsWith(text, start)) return Tone::Warning;
  return Tone::Information;
}

Tone QuestionTone(const std::string& text) {
  return MessageTone(text) == Tone::Critical ? Tone::Critical : Tone::Question;
}

void MessageBoxDialogs::message(const std::string& text) {
  Ask(MessageTone(text), text, QMessageBox::Ok);
}

void MessageBoxDialogs::messageWithDetail(const std::string& text, const std::string& detail) {
  Ask(MessageTone(text), text, QMessageBox::Ok, detail);
}

bool MessageBoxDialogs::askYesNo(const std::string& text) {
  return Ask(QuestionTone(text), text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool MessageBoxDialogs::askOkCancel(const std::string& text) {
  return Ask(QuestionTone(text), text, QMessageBox::Ok | QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

std::string MessageBoxDialogs::chooseFile(const std::string& caption, const std::string& filter,
                                          const std::string& folder) {
  return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString::fromStdString(caption),
                                      QString::fromStdString(folder),
                                      QString::fromStdString(filter))
      .toStdString();
}

}  // namespace kelmor
