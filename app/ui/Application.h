// The application object's part that the windows share: the title, the help
// file, and the default exception handler that every handler runs through.
#pragma once

#include <exception>
#include <functional>
#include <string>

class QWidget;

namespace pelsok::ui {

class TApplication {
 public:
  static constexpr const char* kTitle = "ペルソク";

  // Title of the taskbar entry and of every error message box.
  static const std::string& Title();
  static void SetTitle(const std::string& title);
  // The help file the help commands fall back to.
  static const std::string& HelpFile();
  static void SetHelpFile(const std::string& file);

  // Sets the application font and title on the running QApplication.
  static void Initialize();

  // Shows the exception's message in a modal critical message box titled
  // with the application title.
  static void HandleException(const std::exception& e, QWidget* parent = nullptr);

  // Runs a handler; an exception ends it and is shown. Returns false then.
  // Qt here is built without exception support, so nothing may unwind
  // through its frames: every connected handler goes through this.
  static bool Guarded(const std::function<void()>& handler, QWidget* parent = nullptr);
};

}  // namespace pelsok::ui
