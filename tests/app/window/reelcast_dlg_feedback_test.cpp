// What a run shows besides its summary line: the progress bar with the time
// left, and the desktop notification when the run ends while the user works
// in another window.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QProgressBar>
#include <QVariantMap>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <regex>

#include "app/shared/run_progress.h"
#include "app/shared/status_texts.h"
#include "app/window/reelcast_dlg.h"
#include "resources/resource_ids.h"
#include "tests/support/child_process.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/test_environment.h"
#include "tests/support/waiting.h"

namespace {

using test_support::Clip;
using test_support::ClipKind;
using test_support::MainWindowFixture;

using test_support::PumpUntil;

constexpr std::int64_t kSecond = 10'000'000;

TEST(RunProgressModel, PercentNeverFallsAndTheTimeLeftWaitsForASettledRun) {
  RunProgress progress;
  progress.Start();
  auto view = progress.Update(500, 10 * kSecond, 100 * kSecond);
  EXPECT_EQ(view.percent, 10);
  EXPECT_FALSE(view.secondsLeft) << "too early to tell";
  view = progress.Update(1000, 5 * kSecond, 100 * kSecond);  // a position read back earlier
  EXPECT_EQ(view.percent, 10);
  view = progress.Update(4000, 40 * kSecond, 100 * kSecond);  // 40 % in 4 s: 6 s to go
  EXPECT_EQ(view.percent, 40);
  ASSERT_TRUE(view.secondsLeft);
  EXPECT_EQ(*view.secondsLeft, 6);
  view = progress.Update(5000, 45 * kSecond, 100 * kSecond);  // slower: 6.11 s, rounded up
  EXPECT_EQ(*view.secondsLeft, 7);
  view = progress.Update(5100, 50 * kSecond, 0);  // the graph cannot tell: nothing changes
  EXPECT_EQ(view.percent, 45);
  view = progress.Update(6000, 150 * kSecond, 100 * kSecond);  // past the end is the end
  EXPECT_EQ(view.percent, 100);
  EXPECT_FALSE(view.secondsLeft) << "a source longer than announced: no time left to tell";
  EXPECT_EQ(progress.Complete().secondsLeft, std::nullopt);
  progress.Start();
  EXPECT_EQ(progress.Current().percent, 0);

  EXPECT_EQ(ProgressText(42, std::nullopt), "42%");
  EXPECT_EQ(ProgressText(42, 3725), "42%   Time left: 01:02:05");
}

// A desktop notification service of our own on a private session bus, so
// that no test reaches the desktop of the person running it.
class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  std::vector<std::pair<std::string, std::string>> received;  // summary, body

 public Q_SLOTS:
  uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
              const QStringList&, const QVariantMap&, int) {
    received.emplace_back(summary.toStdString(), body.toStdString());
    return static_cast<uint>(received.size());
  }
};

// One private session bus for the whole test process, made when a test
// first asks for it: the session bus connection of a process is made once.
class PrivateSessionBus : public ::testing::Environment {
 public:
  static bool Start() {
    static PrivateSessionBus* bus = [] {
      auto* made = new PrivateSessionBus;
      ::testing::AddGlobalTestEnvironment(made);  // owned by the framework from here
      return made;
    }();
    if (!bus->daemon_.Running()) bus->Launch();
    return QDBusConnection::sessionBus().isConnected();
  }
  void TearDown() override { daemon_.Stop(); }

 private:
  void Launch() {
    if (!daemon_.Start("dbus-daemon", {"--session", "--nofork", "--print-address=1"})) return;
    // Read by the session bus connection when it is first made.
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray::fromStdString(daemon_.ReadLine()).trimmed());
  }
  test_support::BackgroundChild daemon_;
};

// The fake service offered on the bus for the life of the object.
class OfferedService {
 public:
  explicit OfferedService(FakeNotifications& service) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    offered_ = bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                  QDBusConnection::ExportAllSlots) &&
               bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
  }
  ~OfferedService() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
  }
  bool Offered() const { return offered_; }

 private:
  bool offered_ = false;
};

class RunFeedback : public ::testing::Test {
 protected:
  void SetUp() override { test_support::ResetSettings(); }
  CReelcastDlg& OpenSource(ClipKind kind, const std::string& output) {
    CReelcastDlg& w = f.Open();
    f.ui().openFileAnswers.push_back(Clip(kind));
    w.Item(IDC_BUTTON_ADD_VIDEO).Click();
    w.Settings().outputPath = test_support::HomeFolder() + "/" + output;
    f.ui().Clear();
    return w;
  }
  // The window on screen, and another window the user went on to.
  void ShowAndLeave(CReelcastDlg& w) {
    w.Widget()->show();
    elsewhere.show();
    elsewhere.activateWindow();
    PumpUntil([&] { return !w.IsActiveWindow(); });
  }
  void ComeBack(CReelcastDlg& w) {
    w.Widget()->activateWindow();
    PumpUntil([&] { return w.IsActiveWindow(); });
  }
  MainWindowFixture f;
  QWidget elsewhere;
};

TEST_F(RunFeedback, TheBarRisesToTheEndTheTimeLeftFallsAndTheDesktopIsTold) {
  ASSERT_TRUE(PrivateSessionBus::Start()) << "dbus-daemon is installed by scripts/setup";
  FakeNotifications service;
  OfferedService offered(service);
  ASSERT_TRUE(offered.Offered());

  CReelcastDlg& w = OpenSource(ClipKind::Mp4TwoMinutes, "long.wmv");
  ui::Control bar = w.Item(IDC_PROGRESS_CONVERSION);
  ShowAndLeave(w);
  ASSERT_TRUE(w.IsWindowVisible());
  ASSERT_FALSE(w.IsActiveWindow());
  // The window's clock moves a second whenever the run has moved on, so the
  // estimate settles however fast this machine converts.
  std::int64_t now = 0;
  test_support::MainWindowProbe::SetRunClock(w, [&] { return now; });
  w.Item(IDC_BUTTON_CONVERT).Click();
  ASSERT_TRUE(w.IsConverting()) << testing::PrintToString(f.ui().MessageTexts());

  REFERENCE_TIME reached = -1;
  // Every change of the bar as the run goes, until its end.
  std::vector<int> values{bar.GetPos()};
  std::vector<std::int64_t> left;
  const std::regex timeLeft("Time left: (\\d+):(\\d\\d):(\\d\\d)");
  std::string lastText;
  auto watch = [&] {
    if (const auto at = w.Position(); at && at->position > reached) {
      reached = at->position;
      now += 1000;
      w.SendMessage(WM_TIMER, TIMER_PROGRESS);
    }
    if (bar.GetPos() != values.back()) values.push_back(bar.GetPos());
    const std::string text = bar.Text();
    std::smatch m;
    if (text != lastText && std::regex_search(text, m, timeLeft))
      left.push_back(std::stoll(m[1]) * 3600 + std::stoll(m[2]) * 60 + std::stoll(m[3]));
    lastText = text;
    return !w.IsConverting();
  };
  ASSERT_TRUE(PumpUntil(watch, std::chrono::seconds(600)));
  ASSERT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Completed)
      << testing::PrintToString(f.ui().MessageTexts());

  EXPECT_TRUE(std::is_sorted(values.begin(), values.end())) << testing::PrintToString(values);
  EXPECT_EQ(values.back(), 100);
  EXPECT_GE(values.size(), 4u) << "the bar moves during the run: "
                               << testing::PrintToString(values);
  EXPECT_EQ(bar.Text(), "100%");
  // The run lasts well beyond the few seconds the estimate waits for.
  ASSERT_GE(left.size(), 2u) << testing::PrintToString(values);
  EXPECT_GT(left.front(), left.back()) << testing::PrintToString(left);
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text(),
            "Done. Output file: " + w.Settings().outputPath + "     Resolution: 320*240");

  // A screen reader reads the bar by its name and value.
  auto* widget = w.Widget()->findChild<QProgressBar*>();
  ASSERT_NE(widget, nullptr);
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::ProgressBar);
  EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), "Conversion progress");
  ASSERT_NE(accessible->valueInterface(), nullptr);
  EXPECT_EQ(accessible->valueInterface()->currentValue().toInt(), 100);

  ASSERT_TRUE(PumpUntil([&] { return !service.received.empty(); }));
  ASSERT_EQ(service.received.size(), 1u);
  EXPECT_EQ(service.received[0].first, "Conversion done");
  EXPECT_EQ(service.received[0].second, w.Settings().outputPath);
}

TEST_F(RunFeedback, AStoppedRunLeavesTheBarAsBeforeARun) {
  CReelcastDlg& w = OpenSource(ClipKind::Mp4TwoMinutes, "stopped.wmv");
  ui::Control bar = w.Item(IDC_PROGRESS_CONVERSION);
  w.Item(IDC_BUTTON_CONVERT).Click();
  ASSERT_TRUE(w.IsConverting());
  ASSERT_TRUE(PumpUntil([&] { return bar.GetPos() > 0 || !w.IsConverting(); }));
  w.Item(IDC_BUTTON_CONVERT).Click();  // Stop
  ASSERT_TRUE(PumpUntil([&] { return !w.IsConverting(); }));
  EXPECT_EQ(w.LastRun(), CReelcastDlg::RunOutcome::Stopped);
  EXPECT_EQ(bar.GetPos(), 0);
  EXPECT_EQ(bar.Text(), "");
  EXPECT_EQ(w.Item(IDC_STATIC_SUMMARY).Text().rfind("Done. Output file: ", 0), 0u);
}

TEST_F(RunFeedback, AFailedRunIsToldOnlyWhenTheUserIsElsewhereAndADesktopListens) {
  ASSERT_TRUE(PrivateSessionBus::Start());
  CReelcastDlg& w = OpenSource(ClipKind::Mp4H264Aac, "out.dsm");
  w.Settings().outputFormat = 5;  // no DSM multiplexer is installed: the run fails to start
  ShowAndLeave(w);
  w.Item(IDC_BUTTON_CONVERT).Click();  // no notification service yet: nothing, no harm
  ASSERT_FALSE(w.IsConverting());

  FakeNotifications service;
  OfferedService offered(service);
  ASSERT_TRUE(offered.Offered());
  ComeBack(w);
  w.Item(IDC_BUTTON_CONVERT).Click();
  ShowAndLeave(w);
  w.Item(IDC_BUTTON_CONVERT).Click();
  ASSERT_TRUE(PumpUntil([&] { return !service.received.empty(); }));
  // Whatever else is on the bus by now was sent before this point.
  QCoreApplication::processEvents();
  ASSERT_EQ(service.received.size(), 1u) << "only the run that ended while the user was elsewhere";
  EXPECT_EQ(service.received[0].first, "Conversion failed");
  EXPECT_EQ(w.Item(IDC_PROGRESS_CONVERSION).GetPos(), 0);
}

}  // namespace

#include "reelcast_dlg_feedback_test.moc"
