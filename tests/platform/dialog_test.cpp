#include "platform/ui/dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <thread>
#include <vector>

#include "tests/support/scripted_modal_ui.h"
#include "tests/support/waiting.h"

namespace {

using ui::ControlKind;

ui::DialogTemplate SampleTemplate() {
  ui::DialogTemplate t;
  t.id = 500;
  t.caption = "Sample";
  t.fontFace = "MS Sans Serif";
  t.pointSize = 8;
  t.cx = 200;
  t.cy = 100;
  t.style = ui::WS_CAPTION | ui::WS_SYSMENU;
  t.controls = {
      {1, ControlKind::PushButton, "OK", 10, 80, 50, 14, ui::WS_VISIBLE | ui::BS_DEFPUSHBUTTON, {}},
      {10, ControlKind::PushButton, "&Go", 70, 80, 50, 14, ui::WS_VISIBLE, {}},
      {11, ControlKind::ComboBox, "", 10, 10, 100, 60, ui::WS_VISIBLE, {"64", "128"}},
      {12, ControlKind::Edit, "start", 10, 30, 100, 14, ui::WS_VISIBLE, {}},
      {13, ControlKind::ListBox, "", 120, 10, 70, 60, ui::WS_VISIBLE | ui::LBS_NOTIFY, {}},
      {14, ControlKind::PushButton, "Off", 130, 80, 50, 14, ui::WS_VISIBLE | ui::WS_DISABLED, {}},
      {ui::IDC_STATIC, ControlKind::Static, "R&&D", 10, 50, 60, 10, ui::WS_VISIBLE, {}},
  };
  return t;
}

// Records every message that reaches the dialog's handlers.
class RecordingDialog : public ui::Dialog {
 public:
  RecordingDialog() : ui::Dialog(SampleTemplate()) {}
  std::vector<std::pair<int, int>> commands;
  std::vector<unsigned> ticks;
  std::vector<std::pair<UINT, LPARAM>> messages;
  int oks = 0;
  bool handleOkItself = false;

 protected:
  bool OnCommand(int id, int notification) override {
    commands.emplace_back(id, notification);
    return id == IDOK && handleOkItself;
  }
  void OnOK() override {
    ++oks;
    ui::Dialog::OnOK();
  }
  void OnTimer(unsigned id) override { ticks.push_back(id); }
  LRESULT OnMessage(UINT message, WPARAM, LPARAM lParam) override {
    messages.emplace_back(message, lParam);
    return 0;
  }
};

using test_support::PumpUntil;

TEST(Dialog, PlacesControlsInDialogUnitsOfTheDialogFont) {
  RecordingDialog d;
  d.Create();
  const auto unit = d.DialogUnitsToPixels(4, 8, 4, 8);
  EXPECT_GT(unit.width, 2);
  EXPECT_GT(unit.height, 8);
  const auto client = d.DialogUnitsToPixels(0, 0, 200, 100);
  EXPECT_EQ(d.Widget()->width(), client.width);
  EXPECT_EQ(d.Widget()->height(), client.height);
  QWidget* go = d.Widget()->findChildren<QPushButton*>().at(1);
  const auto expected = d.DialogUnitsToPixels(70, 80, 50, 14);
  EXPECT_EQ(go->geometry(), QRect(expected.x, expected.y, expected.width, expected.height));
}

TEST(Dialog, ControlsComeInTemplateOrderWithIdsKindsAndTexts) {
  RecordingDialog d;
  d.Create();
  const auto children = d.Children();
  ASSERT_EQ(children.size(), 7u);
  EXPECT_EQ(children[2].Kind(), ControlKind::ComboBox);
  EXPECT_EQ(children[6].Id(), ui::IDC_STATIC);
  EXPECT_EQ(d.Item(10).Text(), "&Go");
  EXPECT_FALSE(d.Item(14).IsEnabled());
  EXPECT_FALSE(d.Item(999));
  // The accessible name is the text the user sees.
  auto* label = d.Widget()->findChild<QLabel*>();
  EXPECT_EQ(label->text(), QStringLiteral("R&D"));
  EXPECT_EQ(label->accessibleName(), QStringLiteral("R&D"));
  EXPECT_EQ(d.Widget()->findChildren<QPushButton*>().at(1)->accessibleName(), QStringLiteral("Go"));
  d.Item(10).SetText("Stop");
  EXPECT_EQ(d.Widget()->findChildren<QPushButton*>().at(1)->accessibleName(),
            QStringLiteral("Stop"));
}

TEST(Dialog, ComboSelectionBehavesAsTheProgramExpects) {
  RecordingDialog d;
  d.Create();
  ui::Control combo = d.Item(11);
  EXPECT_EQ(combo.GetCount(), 2);
  EXPECT_EQ(combo.GetCurSel(), -1) << "items from the template select nothing";
  EXPECT_EQ(combo.SetCurSel(1), 1);
  EXPECT_EQ(combo.AddString("192"), 2);
  EXPECT_EQ(combo.GetCurSel(), 1) << "adding never changes the selection";
  EXPECT_EQ(combo.InsertString(0, "32"), 0);
  EXPECT_EQ(combo.GetItemText(0), "32");
  EXPECT_EQ(combo.GetCurSel(), 2) << "the selected item keeps its selection";
  EXPECT_EQ(combo.SetCurSel(7), -1);
  EXPECT_EQ(combo.GetCurSel(), -1) << "a missing index leaves no selection";
  EXPECT_TRUE(d.commands.empty()) << "the program's own changes notify nothing";
  combo.SelectAsUser(1);
  ASSERT_EQ(d.commands.size(), 1u);
  EXPECT_EQ(d.commands[0], std::make_pair(11, CBN_SELCHANGE));
  combo.ResetContent();
  EXPECT_EQ(combo.GetCount(), 0);
}

TEST(Dialog, ListNotifiesOnlyTheUsersSelection) {
  RecordingDialog d;
  d.Create();
  ui::Control list = d.Item(13);
  list.AddString("a");
  list.AddString("b");
  list.SetCurSel(0);
  EXPECT_TRUE(d.commands.empty());
  list.SelectAsUser(1);
  ASSERT_EQ(d.commands.size(), 1u);
  EXPECT_EQ(d.commands[0], std::make_pair(13, LBN_SELCHANGE));
  EXPECT_EQ(list.GetItemText(list.GetCurSel()), "b");
}

TEST(Dialog, CommandsReachOnCommandFirstThenTheOkAndCancelHandlers) {
  RecordingDialog d;
  d.Create();
  d.Item(14).Click();  // disabled: nothing
  d.Item(10).Click();
  EXPECT_EQ(d.commands, (std::vector<std::pair<int, int>>{{10, BN_CLICKED}}));
  d.handleOkItself = true;
  d.Item(1).Click();
  EXPECT_EQ(d.oks, 0);
  EXPECT_FALSE(d.HasEnded());
  d.handleOkItself = false;
  d.Item(1).Click();
  EXPECT_EQ(d.oks, 1);
  EXPECT_TRUE(d.HasEnded());
  EXPECT_EQ(d.Result(), IDOK);
}

TEST(Dialog, EditTextIsCutToTheBufferWithoutSplittingCharacters) {
  RecordingDialog d;
  d.Create();
  d.Item(12).TypeAsUser("Grüße");
  EXPECT_EQ(d.Item(12).Text(), "Grüße");
  EXPECT_EQ(d.Item(12).Text(3), "Gr") << "ü is two bytes and does not fit";
}

TEST(Dialog, TimersDeliverTheirIdUntilKilled) {
  RecordingDialog d;
  d.Create();
  d.SetTimer(1112, 10);
  ASSERT_TRUE(PumpUntil([&] { return d.ticks.size() >= 2; }));
  EXPECT_EQ(d.ticks[0], 1112u);
  d.KillTimer(1112);
  // A slower timer ticks twice: the killed one would have ticked meanwhile.
  d.ticks.clear();
  d.SetTimer(7, 30);
  ASSERT_TRUE(PumpUntil([&] { return d.ticks.size() >= 2; }));
  EXPECT_EQ(d.ticks, (std::vector<unsigned>{7, 7}));
}

TEST(Dialog, MessagesPostedFromOtherThreadsArriveOnTheUiThread) {
  RecordingDialog d;
  d.Create();
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i)
    threads.emplace_back([port = d.Port(), i] {
      for (int k = 0; k < 25; ++k) port->Post(WM_USER + 13, 0, i);
    });
  for (auto& t : threads) t.join();
  ASSERT_TRUE(PumpUntil([&] { return d.messages.size() == 100; }));
}

TEST(Dialog, APortOutlivingItsWindowDropsPosts) {
  ui::WindowPort port;
  {
    RecordingDialog d;
    d.Create();
    port = d.Port();
    // Posted while the window is there, handled after it has gone.
    std::thread([port] { port->Post(WM_USER + 13, 0, 0); }).join();
  }
  port->Post(WM_USER + 13, 0, 0);  // must neither crash nor deliver
  // A window made afterwards gets only its own post, which is queued behind
  // the dropped ones: once it arrives, they have been handled.
  RecordingDialog witness;
  witness.Create();
  witness.Port()->Post(WM_USER + 14, 0, 7);
  ASSERT_TRUE(PumpUntil([&] { return !witness.messages.empty(); }));
  EXPECT_EQ(witness.messages, (std::vector<std::pair<UINT, LPARAM>>{{WM_USER + 14, 7}}));
}

TEST(Dialog, RightButtonReleaseArrivesWithTheClickPoint) {
  RecordingDialog d;
  d.Create();
  // A point of the dialog itself, clear of its controls.
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(7, 4), QPointF(7, 4), Qt::RightButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(d.Widget(), &release);
  ASSERT_EQ(d.messages.size(), 1u);
  EXPECT_EQ(d.messages[0].first, WM_RBUTTONUP);
  EXPECT_EQ(LOWORD(static_cast<WPARAM>(d.messages[0].second)), 7u);
  EXPECT_EQ(HIWORD(static_cast<WPARAM>(d.messages[0].second)), 4u);
}

TEST(Dialog, F1SendsTheHelpCommandToTheDialog) {
  RecordingDialog d;
  d.Create();
  QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
  QCoreApplication::sendEvent(d.Widget(), &f1);
  QKeyEvent shiftF1(QEvent::KeyPress, Qt::Key_F1, Qt::ShiftModifier);
  QCoreApplication::sendEvent(d.Widget(), &shiftF1);
  ASSERT_EQ(d.commands.size(), 1u);
  EXPECT_EQ(d.commands[0].first, static_cast<int>(ID_HELP));
}

TEST(ScriptedModalUi, RunsADialogScriptAndRecordsIt) {
  test_support::ScriptedUi ui;
  RecordingDialog d;
  ui->dialogScripts.push_back([](ui::Dialog& dialog) { dialog.Item(1).Click(); });
  EXPECT_EQ(d.DoModal(), IDOK);
  RecordingDialog unscripted;
  EXPECT_EQ(unscripted.DoModal(), IDCANCEL);
  EXPECT_EQ(ui->OfKind(test_support::Shown::Kind::Dialog).size(), 2u);
}

}  // namespace
