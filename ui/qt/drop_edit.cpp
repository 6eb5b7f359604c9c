#include "ui/qt/drop_edit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "ui/qt/gbk_text.h"
#include "platform/file_system.h"

namespace ui::qt {
namespace {

bool CarriesFiles(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return false;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return true;
  }
  return false;
}

}  // namespace

DropEdit::DropEdit(QWidget* parent) : FieldEdit(parent) { setAcceptDrops(true); }

void DropEdit::dragEnterEvent(QDragEnterEvent* event) {
  // Only files: dragged text is not taken, as with any plain edit of the station.
  if (CarriesFiles(event->mimeData())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void DropEdit::dragMoveEvent(QDragMoveEvent* event) {
  if (CarriesFiles(event->mimeData())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void DropEdit::dropEvent(QDropEvent* event) {
  if (!CarriesFiles(event->mimeData())) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // Further files of the drop are ignored.
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      OnDropFiles(url.toLocalFile());
      break;
    }
  }
}

void DropEdit::OnDropFiles(const QString& firstFile) {
  std::string path = ToGbk(firstFile);
  const std::string target = platform::ResolveShortcut(path);
  if (!target.empty()) path = target;

  if (platform::StatusOf(path) == platform::FileKind::Regular) SetText(FromGbk(path));

  // From the dropped path's length to the end: after a replacement that is the
  // caret at the end of the path, so the file name is in view.
  const QString shown = text();
  const int start = QtPosition(shown, static_cast<int>(path.size()));
  setSelection(start, static_cast<int>(shown.size()) - start);
}

}  // namespace ui::qt
