#pragma once
// Message boxes for the core. The window installs a hook that shows them; until
// then (and in tests and the command-line tool) they go to standard error. Every
// box's whole text goes to the log first; the user sees it without the call
// traces of the support library's exceptions and with "Not enough memory" for
// "std::bad_alloc".
#include <functional>
#include <string>

namespace MyServis {

enum class TMessageButtons { mbOK, mbYesNo };
enum class TMessageIcon { miNone, miInformation, miWarning, miError, miQuestion };
enum class TMessageResult { mrOK, mrYes, mrNo };

struct TMessageStyle {
  TMessageButtons Buttons = TMessageButtons::mbOK;
  TMessageIcon Icon = TMessageIcon::miNone;
};

using TMessageBoxHook = std::function<TMessageResult(
    const std::string& text, const std::string& caption, TMessageStyle style)>;

// An empty hook restores the default one.
void SetMessageBoxHook(TMessageBoxHook hook);

// The text as a box shows it.
std::string ShownText(const std::string& text);

TMessageResult ShowMessageBox(const std::string& text, const std::string& caption,
                              TMessageStyle style);
bool AskYesNo(const std::string& text, const std::string& caption);
void ErrorBox(const std::string& text);

} // namespace MyServis
