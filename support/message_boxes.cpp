#include "support/message_boxes.h"

#include "support/exceptions.h"
#include "support/log.h"

#include <iostream>
#include <mutex>

namespace MyServis {
namespace {

// Without a window nobody can answer a question, so the default answer is the safe "No".
TMessageResult DefaultMessageBox(const std::string& text, const std::string& caption,
                                 TMessageStyle style) {
  std::cerr << caption << ": " << text << '\n';
  return style.Buttons == TMessageButtons::mbYesNo ? TMessageResult::mrNo : TMessageResult::mrOK;
}

std::mutex HookLock;
TMessageBoxHook CurrentHook = DefaultMessageBox;

} // namespace

void SetMessageBoxHook(TMessageBoxHook hook) {
  std::lock_guard<std::mutex> guard(HookLock);
  CurrentHook = hook ? std::move(hook) : TMessageBoxHook(DefaultMessageBox);
}

std::string ShownText(const std::string& text) {
  std::string shown = WithoutTracePrefixes(text);
  static const std::string BadAlloc = "std::bad_alloc";
  for (std::size_t at = shown.find(BadAlloc); at != std::string::npos;
       at = shown.find(BadAlloc, at))
    shown.replace(at, BadAlloc.size(), "Not enough memory");
  return shown;
}

TMessageResult ShowMessageBox(const std::string& text, const std::string& caption,
                              TMessageStyle style) {
  // The log keeps the call traces, which tell where a failure from the field was made.
  try {
    LogMessage(caption + ": " + text);
  } catch (const std::exception&) {
    // Without a log the box still shows the message.
  }
  TMessageBoxHook hook;
  {
    std::lock_guard<std::mutex> guard(HookLock);
    hook = CurrentHook;
  }
  return hook(ShownText(text), caption, style);
}

bool AskYesNo(const std::string& text, const std::string& caption) {
  return ShowMessageBox(text, caption, {TMessageButtons::mbYesNo, TMessageIcon::miQuestion}) ==
         TMessageResult::mrYes;
}

void ErrorBox(const std::string& text) {
  ShowMessageBox(text, "Error", {TMessageButtons::mbOK, TMessageIcon::miError});
}

} // namespace MyServis
