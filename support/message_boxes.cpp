#include "support/message_boxes.h"

#include "support/log.h"

#include <iostream>
#include <mutex>

namespace MyServis {
namespace {

// Without a window nobody can answer a question, so the default answer is the safe "No".
TMessageResult DefaultMessageBox(const std::string& text, const std::string& caption,
                                 TMessageStyle style) {
  std::cerr << caption << ": " << text << '\n';
  try {
    LogMessage(caption + ": " + text);
  } catch (const std::exception&) {
    // The message reached standard error already.
  }
  return style.Buttons == TMessageButtons::mbYesNo ? TMessageResult::mrNo : TMessageResult::mrOK;
}

std::mutex HookLock;
TMessageBoxHook CurrentHook = DefaultMessageBox;

} // namespace

void SetMessageBoxHook(TMessageBoxHook hook) {
  std::lock_guard<std::mutex> guard(HookLock);
  CurrentHook = hook ? std::move(hook) : TMessageBoxHook(DefaultMessageBox);
}

TMessageResult ShowMessageBox(const std::string& text, const std::string& caption,
                              TMessageStyle style) {
  TMessageBoxHook hook;
  {
    std::lock_guard<std::mutex> guard(HookLock);
    hook = CurrentHook;
  }
  return hook(text, caption, style);
}

bool AskYesNo(const std::string& text, const std::string& caption) {
  return ShowMessageBox(text, caption, {TMessageButtons::mbYesNo, TMessageIcon::miQuestion}) ==
         TMessageResult::mrYes;
}

void ErrorBox(const std::string& text) {
  ShowMessageBox(text, "Error", {TMessageButtons::mbOK, TMessageIcon::miError});
}

} // namespace MyServis
