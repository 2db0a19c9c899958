// The program entry of the window: the application object, its title and
// help file, the main window, then the message loop. Archives named on the
// command line (Pelsok ARCHIVE, as a file manager's "Open with" runs it)
// open in the viewer beside the main window.
#include <QApplication>

#include "app/ui/Application.h"
#include "app/ui/MainForm.h"
#include "platform/FileSystem.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  pelsok::ui::TApplication::Initialize();
  pelsok::ui::TApplication::SetHelpFile(platform::ExecutableDir() + "Pelsok1.hlp");
  pelsok::ui::TForm1 form;
  // The program ends with the main window, even while a help window is open.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&form, &pelsok::ui::TForm1::Closed, &application, &QApplication::quit,
                   Qt::QueuedConnection);
  form.show();
  form.OpenCommandLine(QApplication::arguments());
  return application.exec();
}
