// The program entry of the window: the application object, its title and
// help file, the main window, then the message loop.
#include <QApplication>

#include "app/ui/Application.h"
#include "app/ui/MainForm.h"
#include "platform/FileSystem.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  pelsok::ui::TApplication::Initialize();
  pelsok::ui::TApplication::SetHelpFile(platform::ExecutableDir() + "Pelsok1.hlp");
  pelsok::ui::TForm1 form;
  form.show();
  return application.exec();
}
