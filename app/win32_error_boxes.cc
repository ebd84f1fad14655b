#include "app/win32_error_boxes.h"

#include "app/error_texts.h"
#include "platform/win32_text.h"

namespace {

void ShowErrorBox(HWND AOwner, const std::string& ACaption, const std::string& AText,
                  UINT AModality) {
  MessageBoxW(AOwner, platform::WideFromUtf8(AText).c_str(),
              platform::WideFromUtf8(ACaption).c_str(), MB_OK | MB_ICONERROR | AModality);
}

}  // namespace

void ShowApplicationErrorBox(std::exception_ptr AError) {
  // No window exists yet to own it: modal to the whole program instead.
  ShowErrorBox(nullptr, kApplicationErrorCaption, ApplicationErrorText(AError), MB_TASKMODAL);
}

void ShowDefaultHandlerBox(HWND AOwner, std::exception_ptr AError) {
  const TErrorBox box = DefaultHandlerBox(AError);
  ShowErrorBox(AOwner, box.Caption, box.Text, MB_APPLMODAL);
}
