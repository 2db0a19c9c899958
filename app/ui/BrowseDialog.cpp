#include "app/ui/BrowseDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <map>

#include "app/settings/MountPoints.h"
#include "app/text/FolderText.h"
#include "app/ui/Application.h"
#include "app/ui/Fonts.h"
#include "app/ui/ProgramIcon.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace pelsok::ui {
namespace {

// Each drive's current folder, for the life of the process.
std::map<std::string, std::string>& DriveFolders() {
  static std::map<std::string, std::string> folders;
  return folders;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The folder list: items are indented by their level, so type-ahead matches
// the names without the indentation; Enter opens the current folder and is
// not passed on to the dialog's default button.
class TFolderList : public QListWidget {
 public:
  using QListWidget::QListWidget;

  void keyboardSearch(const QString& search) override {
    if (search.isEmpty()) return;
    if (typed_.isValid() && typed_.elapsed() <= QApplication::keyboardInputInterval())
      prefix_ += search;
    else
      prefix_ = search;
    typed_.start();
    // A repeated single letter steps through the names that start with it.
    const bool stepping = prefix_.size() > 1 && prefix_.count(prefix_[0]) == prefix_.size();
    const QString wanted = stepping ? prefix_.left(1) : prefix_;
    const int n = count();
    const int from =
        currentRow() < 0 ? 0 : currentRow() + (stepping || prefix_.size() == 1 ? 1 : 0);
    for (int k = 0; k < n; ++k) {
      QListWidgetItem* it = item((from + k) % n);
      if (it->text().trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
        setCurrentItem(it);
        scrollToItem(it);
        return;
      }
    }
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == 0) {
      if (QListWidgetItem* it = currentItem()) emit itemActivated(it);
      event->accept();
      return;
    }
    QListWidget::keyPressEvent(event);
  }

 private:
  QString prefix_;
  QElapsedTimer typed_;
};

}  // namespace

TOKBottomDlg::TOKBottomDlg(std::function<void(const std::string&)> setFolder, QWidget* parent,
                           const std::string& start)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      setFolder_(std::move(setFolder)) {
  setObjectName("OKBottomDlg");
  setWindowTitle(QStringLiteral("参照"));
  setWindowIcon(ProgramIcon());
  setFont(PelsokFont(12));
  setFixedSize(299, 246);
  setModal(true);

  Label1 = new QLabel(QStringLiteral("フォルダを指定してください。"), this);
  Label1->setFont(PelsokFont(16));
  Label1->move(21, 8);
  Label1->adjustSize();
  DriveCombodrv = new QComboBox(this);
  DriveCombodrv->setFont(PelsokFont(16));
  DriveCombodrv->setGeometry(20, 39, 253, 22);
  Directory = new TFolderList(this);
  Directory->setFont(PelsokFont(16));
  Directory->setGeometry(20, 75, 253, 97);
  Label2 = new QLabel(this);
  Label2->setFont(PelsokFont(16));
  Label2->move(21, 184);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(71, 212, 75, 25);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  CancelBtn->setGeometry(151, 212, 75, 25);
  setTabOrder(DriveCombodrv, Directory);
  setTabOrder(Directory, OKBtn);
  setTabOrder(OKBtn, CancelBtn);

  if (!start.empty() && platform::DirectoryExists(start)) platform::SetCurrentDir(start);
  folder_ = platform::ExcludeTrailingPathDelimiter(platform::GetCurrentDir());
  if (folder_.empty()) folder_ = "/";
  const std::vector<std::string> drives = app::MountPoints();
  drive_ = app::MountPointOf(folder_, drives);
  DriveFolders()[drive_] = folder_;
  filling_ = true;
  for (const auto& d : drives)
    DriveCombodrv->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), Q(d), Q(d));
  DriveCombodrv->setCurrentIndex(DriveCombodrv->findData(Q(drive_)));
  filling_ = false;
  Fill();

  connect(DriveCombodrv, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (filling_ || index < 0) return;
    TApplication::Guarded(
        [&] { ChangeDrive(DriveCombodrv->itemData(index).toString().toStdString()); }, this);
  });
  connect(Directory, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    TApplication::Guarded([&] { OpenFolder(item->data(Qt::UserRole).toString().toStdString()); },
                          this);
  });
  connect(OKBtn, &QPushButton::clicked, this, [this] {
    if (TApplication::Guarded([this] { OKBtnClick(); }, this)) accept();
  });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TOKBottomDlg::OpenFolder(const std::string& folder) {
  if (!platform::SetCurrentDir(folder))
    throw platform::Exception(platform::FormatText("フォルダ '%s' を開けません", {folder}));
  folder_ = platform::ExcludeTrailingPathDelimiter(platform::GetCurrentDir());
  if (folder_.empty()) folder_ = "/";
  DriveFolders()[drive_] = folder_;
  Fill();
}

void TOKBottomDlg::ChangeDrive(const std::string& drive) {
  drive_ = drive;
  auto it = DriveFolders().find(drive);
  const std::string target = it != DriveFolders().end() ? it->second : drive;
  OpenFolder(platform::DirectoryExists(target) ? target : drive);
}

// Root down to the current folder, then the current folder's subfolders.
void TOKBottomDlg::Fill() {
  Directory->clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  std::vector<std::string> chain;
  std::string path = drive_;
  chain.push_back(path);
  if (folder_ != drive_) {
    std::string rest = folder_.substr(drive_ == "/" ? 1 : drive_.size() + 1);
    std::size_t start = 0;
    while (start <= rest.size()) {
      const std::size_t slash = rest.find('/', start);
      const std::string part =
          rest.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
      if (!part.empty()) {
        path = platform::IncludeTrailingPathDelimiter(path) + part;
        chain.push_back(path);
      }
      if (slash == std::string::npos) break;
      start = slash + 1;
    }
  }
  int level = 0;
  QListWidgetItem* current = nullptr;
  for (const auto& p : chain) {
    const QString name = level == 0 ? Q(p) : Q(platform::ExtractFileName(p));
    auto* item = new QListWidgetItem(open, QString(level * 2, QChar(' ')) + name, Directory);
    item->setData(Qt::UserRole, Q(p));
    current = item;
    ++level;
  }
  QDir dir(Q(folder_));
  const QStringList subs =
      dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& s : subs) {
    auto* item = new QListWidgetItem(closed, QString(level * 2, QChar(' ')) + s, Directory);
    item->setData(Qt::UserRole, Q(platform::IncludeTrailingPathDelimiter(folder_)) + s);
  }
  Directory->setCurrentItem(current);

  const QFontMetrics fm(Label2->font());
  const std::string shown = app::MinimizeName(
      folder_, [&](const std::string& t) { return fm.horizontalAdvance(Q(t)) <= 253; });
  Label2->setText(Q(shown));
  Label2->adjustSize();
}

void TOKBottomDlg::OKBtnClick() { setFolder_(app::FolderWithDelimiter(folder_)); }

void TOKBottomDlg::showEvent(QShowEvent* event) {
  if (QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  QDialog::showEvent(event);
}

}  // namespace pelsok::ui
