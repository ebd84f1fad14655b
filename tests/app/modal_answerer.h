// Answers the message boxes a window shows while a test drives it: each box
// is noted with its caption and text, then closed with OK, as an operator
// would.
#pragma once

#include <QTimer>
#include <string>
#include <vector>

namespace app_test {

struct Box {
  std::string caption;
  std::string text;
  bool operator==(const Box&) const = default;
};

class ModalAnswerer {
 public:
  // Starts watching for modal message boxes.
  ModalAnswerer();

  // The boxes answered so far, in order.
  const std::vector<Box>& Boxes() const { return boxes_; }
  // Their texts alone.
  std::vector<std::string> Texts() const;

 private:
  void AnswerActiveBox();

  QTimer timer_;
  std::vector<Box> boxes_;
};

}  // namespace app_test
