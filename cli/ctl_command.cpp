// chorvanta-cli ctl: looks into and repairs control files.
#include "cli/command_registry.h"
#include "support/control_files.h"
#include "support/ctl_text_format.h"

#include <iostream>

namespace {

using namespace ControlFiles2;

struct TCtlArgs {
  std::string Command;
  std::string File;
  std::string Password;
  std::vector<std::string> Operands;
  std::vector<std::string> Forms; // --text, --binary
};

bool ParseArgs(const std::vector<std::string>& args, TCtlArgs& parsed) {
  if (args.size() < 2) return false;
  parsed.Command = args[0];
  parsed.File = args[1];
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--password") {
      if (++i == args.size()) return false;
      parsed.Password = args[i];
    } else if (args[i] == "--text" || args[i] == "--binary") {
      parsed.Forms.push_back(args[i]);
    } else {
      parsed.Operands.push_back(args[i]);
    }
  }
  if (parsed.Command == "dump") return parsed.Operands.empty() && parsed.Forms.empty();
  if (parsed.Command == "set") return parsed.Operands.size() == 2 && parsed.Forms.empty();
  if (parsed.Command == "save") return parsed.Operands.empty() && parsed.Forms.size() == 1;
  return false;
}

const char* KindOf(const TCtlEntry* entry) {
  if (dynamic_cast<const TCommentLine*>(entry)) return "comment";
  if (dynamic_cast<const TInclude*>(entry)) return "include";
  if (dynamic_cast<const TSection*>(entry)) return "section";
  if (dynamic_cast<const TBoolValue*>(entry)) return "bool";
  if (dynamic_cast<const TIntValue*>(entry)) return "int";
  if (dynamic_cast<const TFloatValue*>(entry)) return "float";
  if (dynamic_cast<const TStringValue*>(entry)) return "string";
  return "list";
}

// One line per entry, depth first: kind, path (or comment text, or included
// file name), value as a key line carries it.
void DumpSection(const TCtlNode& node, std::ostream& out) {
  for (std::int32_t i = 0; i < node.ChildCount(); ++i) {
    const TCtlNode& child = *node.Child(i);
    const TCtlEntry* entry = child.Data;
    out << KindOf(entry) << '\t';
    if (auto* comment = dynamic_cast<const TCommentLine*>(entry)) {
      out << comment->Text << "\t\n";
    } else if (auto* include = dynamic_cast<const TInclude*>(entry)) {
      out << include->FileName << "\t\n";
    } else if (auto* section = dynamic_cast<const TSection*>(entry)) {
      out << section->FullPath << "\t\n";
      DumpSection(child, out);
    } else if (auto* key = dynamic_cast<const TNamedValue*>(entry)) {
      out << key->FullPath << '\t' << KeyValueText(*key) << '\n';
    }
  }
}

int RunCtl(const std::vector<std::string>& args) {
  TCtlArgs parsed;
  if (!ParseArgs(args, parsed)) return cli::UsageError("ctl");
  TControlFile file(parsed.File, parsed.Password);
  if (parsed.Command == "set") {
    file.SetString(parsed.Operands[0], parsed.Operands[1]);
    file.Save();
    return cli::ExitOk;
  }
  MyServis::TNamedLockGuard guard(State().ControlFilesLock);
  if (parsed.Command == "save") {
    SaveControlFile(file.Handle, parsed.Forms[0] == "--text" ? smText : smBinary);
    return cli::ExitOk;
  }
  DumpSection(*FindControlFile(file.Handle), std::cout);
  return cli::ExitOk;
}

cli::TCommandRegistration registration({"ctl",
                                        "dump FILE [--password P] | set FILE PATH VALUE "
                                        "[--password P] | save FILE --text|--binary "
                                        "[--password P]",
                                        "list a control file's entries, set a string key, or "
                                        "rewrite the file in the text or the binary form",
                                        &RunCtl});

} // namespace
