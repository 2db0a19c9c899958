// TOKBottomDlg, the folder browse dialog: a drive selector (the mounted file
// systems), a folder list that opens at the folder field's folder (or the
// current folder) and makes each folder it opens the process's current
// folder, and the folder label.
// OK hands the folder, with one trailing delimiter, to the folder field.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pelsok::ui {

class TOKBottomDlg : public QDialog {
  Q_OBJECT
 public:
  // setFolder receives the chosen folder (the main window's Edit1). The list
  // opens at start, the folder the field names, when it is one (and makes
  // it the current folder, as opening it would); else at the current folder.
  TOKBottomDlg(std::function<void(const std::string&)> setFolder, QWidget* parent = nullptr,
               const std::string& start = std::string());

  QLabel* Label1;
  QComboBox* DriveCombodrv;
  QListWidget* Directory;
  QLabel* Label2;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // The folder list's current folder, in full.
  const std::string& CurrentFolder() const { return folder_; }
  // Opens a folder as a double click in the list does; raises an error
  // when it cannot become the current folder.
  void OpenFolder(const std::string& folder);
  // Switches to a drive (a mount point) and its last current folder.
  void ChangeDrive(const std::string& drive);

  void OKBtnClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Fill();
  std::function<void(const std::string&)> setFolder_;
  std::string drive_;
  std::string folder_;
  bool filling_ = false;
};

}  // namespace pelsok::ui
