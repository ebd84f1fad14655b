#include "app/win32_error_boxes.h"

#include "app/error_texts.h"
#include "platform/win32_text.h"

namespace {

void ShowErrorBox(HWND AOwner, const std::string& ACaption, const std::string& AText) {
  MessageBoxW(AOwner, platform::WideFromUtf8(AText).c_str(),
              platform::WideFromUtf8(ACaption).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

void ShowApplicationErrorBox(std::exception_ptr AError) {
  // No window exists yet to own it: modal to the whole program instead.
  MessageBoxW(nullptr, platform::WideFromUtf8(ApplicationErrorText(AError)).c_str(),
              platform::WideFromUtf8(kApplicationErrorCaption).c_str(),
              MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void ShowDefaultHandlerBox(HWND AOwner, std::exception_ptr AError) {
  const TErrorBox box = DefaultHandlerBox(AError);
  ShowErrorBox(AOwner, box.Caption, box.Text);
}
