#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace app_test {

ModalAnswerer::ModalAnswerer() {
  // A box only exists inside its own event loop, which runs this timer.
  QObject::connect(&timer_, &QTimer::timeout, [this] { AnswerActiveBox(); });
  timer_.start(5);
}

std::vector<std::string> ModalAnswerer::Texts() const {
  std::vector<std::string> texts;
  for (const Box& box : boxes_) texts.push_back(box.text);
  return texts;
}

void ModalAnswerer::AnswerActiveBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || !box->isVisible()) return;
  boxes_.push_back({box->windowTitle().toStdString(), box->text().toStdString()});
  box->button(QMessageBox::Ok)->click();
}

}  // namespace app_test
