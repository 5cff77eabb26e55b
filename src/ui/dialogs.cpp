#include "ui/dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace kelmor {

namespace {

int Ask(QMessageBox::Icon icon, const std::string& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, QApplication::applicationName(), QString::fromStdString(text), buttons,
                  QApplication::activeWindow());
  return box.exec();
}

}  // namespace

void MessageBoxDialogs::message(const std::string& text) {
  Ask(QMessageBox::Information, text, QMessageBox::Ok);
}

bool MessageBoxDialogs::askYesNo(const std::string& text) {
  return Ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool MessageBoxDialogs::askOkCancel(const std::string& text) {
  return Ask(QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

}  // namespace kelmor
