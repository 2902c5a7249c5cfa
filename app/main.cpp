// chorvanta [SONG]: the editor, opening SONG at start-up when one is given.
#include "app/about_box.h"
#include "app/application.h"
#include "app/main_form.h"
#include "app/new_song_wnd.h"
#include "app/tag_form.h"

int main(int argc, char** argv) {
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
