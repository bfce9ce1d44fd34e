#pragma once
// Shared pieces of the list tests: a table kind with a column of every cell type, layouts over
// it, a parent that records the messages a list posts, and helpers that act on a modal dialog
// or popup menu once it is up (so that no test waits for a person).

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "platform/qt/window_message.h"
#include "tests/support/modal_watchdog.h"
#include "ulib/table_store.h"
#include "ulib/ui/cu_list.h"
#include "ulib/ui/list_layout.h"

namespace listtest {

// Four rows per block, so that the line maps reach into later blocks with a few rows.
inline constexpr TableDescriptor kEveryType = {
    "NVtest.csv", 7, 4, 12,
    {{CellExist, 0, "exist"},
     {CellInt, 1, "num"},
     {CellCheck, 1, "chk"},
     {CellMark, 1, "mark"},
     {CellRawInt, 1, "raw"},
     {CellFloat, 1, "f"},
     {CellDouble, 1, "d"},
     {CellString, 1, "name"},
     {CellChars, 1, "tag"},
     {CellHidden, 0, "hid"},
     {CellInt, 0, "dline"},
     {CellInt, 0, "itemdata"}}};
enum Column {
  kExist = 0, kNum, kChk, kMark, kRaw, kFloat, kDouble, kName, kTag, kHid, kDline, kItemdata
};

inline constexpr unsigned kSelectMsg = platform::kWmUser + 0x195;
inline constexpr unsigned kRclickMsg = platform::kWmUser + 0x196;
inline constexpr unsigned kDblClickMsg = platform::kWmUser + 0x1A0;
inline constexpr unsigned kEditMsg = platform::kWmUser + 0x1A1;

inline ListColumn MakeColumn(int tableColumn, const char* fmt, int width = 60) {
  ListColumn column{};
  column.tableColumn = tableColumn;
  column.shown = 1;
  column.width = width;
  std::strncpy(column.fmt, fmt, sizeof column.fmt - 1);
  return column;
}

// A list over kEveryType filling its parent, with a select and a right-click message and
// columns num, f, name, mark, chk, d, tag (in that order) unless given.
inline ListLayout MakeLayout(std::vector<ListColumn> columns = {}) {
  ListLayout layout{};
  layout.top = 0;
  layout.bottom = -1;
  layout.left = 0;
  layout.right = -1;
  layout.selectMsg = kSelectMsg;
  layout.rclickMsg = kRclickMsg;
  layout.sortableHeader = 1;
  layout.dlineColumn = kDline;
  layout.itemdataColumn = kItemdata;
  if (columns.empty()) {
    columns = {MakeColumn(kNum, "%d"),  MakeColumn(kFloat, "%.2f"), MakeColumn(kName, "%s"),
               MakeColumn(kMark, "%b"), MakeColumn(kChk, "%b"),     MakeColumn(kDouble, "%.3f"),
               MakeColumn(kTag, "%s")};
  }
  for (const ListColumn& column : columns) layout.columns[layout.columnCount++] = column;
  return layout;
}

struct Message {
  unsigned message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  int selectedLineOnArrival;
  bool operator==(const Message& o) const {
    return message == o.message && wParam == o.wParam && lParam == o.lParam;
  }
};

inline std::ostream& operator<<(std::ostream& out, const Message& m) {
  return out << "{0x" << std::hex << m.message << std::dec << ", " << static_cast<long long>(m.wParam)
             << ", " << m.lParam << "}";
}

inline Message Msg(unsigned message, long long wParam, long long lParam) {
  return {message, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam), -1};
}

// Records, on the parent, every message a list posts, with the list's selected line at the
// moment the message arrives.
class MessageRecorder : public QObject {
 public:
  explicit MessageRecorder(QWidget* parent) { parent->installEventFilter(this); }
  void Watch(const CUList* list) { list_ = list; }
  std::vector<Message> Take() {
    QCoreApplication::sendPostedEvents();
    std::vector<Message> taken;
    taken.swap(messages_);
    return taken;
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != platform::WindowMessageEvent::EventType()) return false;
    auto* m = static_cast<platform::WindowMessageEvent*>(event);
    messages_.push_back(
        {m->message(), m->wParam(), m->lParam(), list_ ? list_->SelectedLine() : -1});
    return true;
  }

 private:
  const CUList* list_ = nullptr;
  std::vector<Message> messages_;
};

// Adds a live row with the given int, float, string values and returns it.
inline int AddRow(CUTable& table, int num, float f = 0.0f, const char* name = nullptr) {
  const int row = table.AddRow();
  WriteCellInt(table.CellForWrite(row, kNum), num);
  WriteCellFloat(table.CellForWrite(row, kFloat), f);
  if (name) table.SetString(row, kName, name);
  return row;
}

// Runs act on the first widget found by find once the event loop runs (inside exec of a modal
// dialog or a popup menu). A widget that never comes fails the test at its end; one that comes
// up unanswered is closed by the widget tests' watchdog, so no test waits.
inline void WhenUp(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
  nv4test::ModalWatchdog* watchdog = nv4test::ModalWatchdog::Current();
  ASSERT_NE(watchdog, nullptr) << "a test that answers windows runs with a watchdog";
  watchdog->WhenUp(std::move(find), std::move(act));
}

inline void WhenModal(std::function<void(QWidget*)> act) {
  WhenUp([] { return QApplication::activeModalWidget(); }, std::move(act));
}

// Chooses the header-menu item with the command id once the menu is up; records the labels.
inline void ChooseMenuItem(int commandId, QStringList* labels = nullptr) {
  WhenUp([] { return QApplication::activePopupWidget(); },
         [commandId, labels](QWidget* popup) {
           auto* menu = qobject_cast<QMenu*>(popup);
           ASSERT_NE(menu, nullptr);
           QAction* wanted = nullptr;
           for (QAction* action : menu->actions()) {
             if (labels) labels->append(action->isSeparator() ? "-" : action->text());
             if (!action->isSeparator() && action->data().toInt() == commandId) wanted = action;
           }
           if (!wanted) {
             ADD_FAILURE() << "no menu item " << commandId;
             menu->close();
             return;
           }
           menu->setActiveAction(wanted);
           QTest::keyClick(menu, Qt::Key_Return);
         });
}

}  // namespace listtest
