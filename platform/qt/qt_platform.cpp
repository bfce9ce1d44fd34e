#include "platform/qt/qt_platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeView>
#include <QVariant>
#include <cstdlib>

#include "platform/qt/chooser_size.h"
#include "platform/qt/dialog_units.h"

namespace platform {
namespace {

QWidget* AsWidget(WindowHandle handle) { return static_cast<QWidget*>(handle); }

QString Q(const std::string& text) { return QString::fromLocal8Bit(text.c_str()); }
std::string S(const QString& text) { return text.toLocal8Bit().toStdString(); }

// Opens a chooser at a size where its columns read whole, on the screen of its owner.
void SizeChooser(QFileDialog& dialog, QWidget* owner) {
  QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  dialog.resize(ChooserSize(screen->availableGeometry(), CurrentDialogBaseUnits()));
  // Qt's own dialog keeps its narrow column widths however wide it is: the size, type and date
  // columns take what their texts need and the name the rest. A native dialog has no such view.
  if (auto* details = dialog.findChild<QTreeView*>("treeView")) {
    QHeaderView* header = details->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
}

QString FilterString(const std::vector<FileFilter>& filters) {
  QStringList parts;
  for (const FileFilter& filter : filters) {
    QString patterns = Q(filter.pattern);
    patterns.replace(';', ' ');
    // Qt shows the text and takes the patterns from the parentheses.
    parts << Q(filter.text) + " (" + patterns + ")";
  }
  return parts.join(";;");
}

}  // namespace

void SetItemId(QWidget* item, int itemId) { item->setProperty(kItemIdProperty, itemId); }

QWidget* FindItem(QWidget* window, int itemId) {
  if (!window) return nullptr;
  // A window's items are its own children only: the main dialog holds pages whose controls may
  // carry the same ids as its own.
  for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    QVariant id = child->property(kItemIdProperty);
    if (id.isValid() && id.toInt() == itemId) return child;
  }
  return nullptr;
}

void QtPlatform::ShowMessage(WindowHandle owner, const std::string& text,
                             const std::string& caption, MessageKind kind) {
  QMessageBox box(kind == MessageKind::kStop ? QMessageBox::Critical : QMessageBox::NoIcon,
                  Q(caption), Q(text), QMessageBox::Ok, AsWidget(owner));
  box.exec();
}

bool QtPlatform::AskOkCancel(WindowHandle owner, const std::string& text,
                             const std::string& caption) {
  QMessageBox box(QMessageBox::NoIcon, Q(caption), Q(text),
                  QMessageBox::Ok | QMessageBox::Cancel, AsWidget(owner));
  return box.exec() == QMessageBox::Ok;
}

std::optional<std::string> QtPlatform::ChooseFile(const FileRequest& request) {
  QFileDialog dialog(AsWidget(request.owner), Q(request.title));
  dialog.setNameFilter(FilterString(request.filters));
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The program asks about overwriting in its own words.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(Q(request.defaultExtension));
  if (!request.proposed.empty()) dialog.selectFile(Q(request.proposed));
  SizeChooser(dialog, AsWidget(request.owner));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return S(dialog.selectedFiles().first());
}

std::optional<std::string> QtPlatform::ChooseFolder(const FolderRequest& request) {
  // As QFileDialog::getExistingDirectory would, but at a size of the program's choosing.
  QFileDialog dialog(AsWidget(request.owner), Q(request.title), Q(request.initial));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  SizeChooser(dialog, AsWidget(request.owner));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString folder = dialog.selectedFiles().first();
  if (folder.isEmpty()) return std::nullopt;
  return S(folder);
}

std::string QtPlatform::DocumentsFolder() {
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) documents = QDir::homePath();
  QDir().mkpath(documents);
  return S(documents);
}

void QtPlatform::BeginWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtPlatform::EndWaitCursor() { QApplication::restoreOverrideCursor(); }

bool QtPlatform::SetWindowText(WindowHandle window, const std::string& text) {
  QWidget* widget = AsWidget(window);
  if (!widget) return false;
  widget->setWindowTitle(Q(text));
  return true;
}

bool QtPlatform::SetItemText(WindowHandle window, int itemId, const std::string& text) {
  QWidget* item = FindItem(AsWidget(window), itemId);
  if (!item) return false;
  if (auto* label = qobject_cast<QLabel*>(item)) {
    label->setText(Q(text));
  } else if (auto* edit = qobject_cast<QLineEdit*>(item)) {
    edit->setText(Q(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
    button->setText(Q(text));
  } else {
    item->setWindowTitle(Q(text));
  }
  return true;
}

QImage ImageFromBgrBottomUp(const std::uint8_t* pixels, int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* source = pixels + static_cast<size_t>(height - 1 - y) * width * 3;
    std::uint8_t* target = image.scanLine(y);
    for (int x = 0; x < width; ++x) {
      target[3 * x + 0] = source[3 * x + 2];
      target[3 * x + 1] = source[3 * x + 1];
      target[3 * x + 2] = source[3 * x + 0];
    }
  }
  return image;
}

std::string QtPlatform::EncodeImageFile(const std::string& path, const std::uint8_t* pixels,
                                        int width, int height) {
  QImage image = ImageFromBgrBottomUp(pixels, width, height);
  QImageWriter writer(Q(path));
  if (!writer.write(image)) return S(writer.errorString());
  return std::string();
}

void QtPlatform::ExitProcess(int code) { std::exit(code); }

}  // namespace platform
