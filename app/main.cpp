// chorvanta [SONG]: the editor, opening SONG at start-up when one is given.
#include "app/about_box.h"
#include "app/application.h"
#include "app/main_form.h"
#include "app/new_song_wnd.h"
#include "app/tag_form.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  // Answered before any window, so they work without a display.
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("Chorvanta Song Editor %s\n", CHORVANTA_VERSION);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::printf("usage: chorvanta [SONG]\n"
                "Opens SONG, a karaoke song file, or without it asks for one.\n"
                "  --version  prints the version\n"
                "  --help     prints this text\n");
    return 0;
  }
  app::TApplication application(argc, argv);
  app::InstallMessageBoxHook();
  app::TMainForm mainForm(app::ProgramContext());
  app::TNewSongWnd newSongWnd(&mainForm);
  app::TAboutBox aboutBox(&mainForm);
  app::TTagForm tagForm(&mainForm);
  mainForm.AttachDialogs(newSongWnd, aboutBox, tagForm);
  const QStringList arguments = application.arguments();
  if (arguments.size() > 1) mainForm.SetStartupSong(arguments[1].toStdString());
  mainForm.show();
  return application.exec();
}
