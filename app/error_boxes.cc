#include "app/error_boxes.h"

#include <QMessageBox>

#include "app/error_texts.h"

namespace {

void ShowErrorBox(QWidget* AParent, const std::string& ACaption, const std::string& AText) {
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(ACaption),
                  QString::fromStdString(AText), QMessageBox::Ok, AParent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

void ShowApplicationErrorBox(std::exception_ptr AError) {
  ShowErrorBox(nullptr, kApplicationErrorCaption, ApplicationErrorText(AError));
}

void ShowDefaultHandlerBox(QWidget* AParent, std::exception_ptr AError) {
  const TErrorBox box = DefaultHandlerBox(AError);
  ShowErrorBox(AParent, box.Caption, box.Text);
}
