// Error texts and the event queue of the media framework stand-in.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/dshow/error_text.h"
#include "platform/dshow/errors.h"
#include "platform/dshow/event_queue.h"

namespace {

TEST(ErrorText, EveryCodeTheStandInReturnsHasAShortText) {
  for (HRESULT code : {E_FAIL,
                       E_POINTER,
                       E_INVALIDARG,
                       E_NOINTERFACE,
                       E_NOTIMPL,
                       E_ACCESSDENIED,
                       E_ABORT,
                       E_OUTOFMEMORY,
                       E_UNEXPECTED,
                       REGDB_E_CLASSNOTREG,
                       HRESULT_FILE_NOT_FOUND,
                       HRESULT_FILENAME_TOO_LONG,
                       VFW_E_ALREADY_CONNECTED,
                       VFW_E_NO_ACCEPTABLE_TYPES,
                       VFW_E_INVALID_DIRECTION,
                       VFW_E_NOT_CONNECTED,
                       VFW_E_NOT_FOUND,
                       VFW_E_CANNOT_RENDER,
                       VFW_E_WRONG_STATE,
                       VFW_E_TIMEOUT,
                       VFW_E_INVALID_FILE_FORMAT,
                       VFW_E_UNKNOWN_FILE_TYPE,
                       VFW_E_CANNOT_LOAD_SOURCE_FILTER,
                       VFW_E_MEDIA_TIME_NOT_SET,
                       VFW_E_NOT_IN_GRAPH,
                       VFW_E_UNSUPPORTED_STREAM,
                       VFW_S_DUPLICATE_NAME,
                       VFW_S_PARTIAL_RENDER,
                       VFW_S_VIDEO_NOT_RENDERED,
                       VFW_S_AUDIO_NOT_RENDERED}) {
    const std::string text = AMGetErrorTextA(code);
    EXPECT_FALSE(text.empty()) << std::hex << code;
    EXPECT_LE(text.size(), kMaxErrorText) << text;
    EXPECT_EQ(text.rfind("Unknown", 0), std::string::npos) << std::hex << code;
  }
  EXPECT_EQ(AMGetErrorTextA(VFW_E_NOT_CONNECTED),
            "The operation cannot be performed because the pins are not connected.");
}

TEST(ErrorText, AnyOtherCodeIsNamedByItsValue) {
  EXPECT_EQ(AMGetErrorTextA(static_cast<HRESULT>(0x8BADF00Du)), "Unknown error 0x8BADF00D.");
}

TEST(EventQueue, TakesInOrderAndTimesOutWhenEmpty) {
  dshow::EventQueue queue;
  const auto run = dshow::NextRunGeneration();
  queue.Open(run);
  long code = 0;
  LONG_PTR p1 = 0, p2 = 0;
  EXPECT_EQ(queue.Take(code, p1, p2, 0), E_ABORT);
  queue.Post(run, EC_ERRORABORT, 7, 8);
  queue.Post(run, EC_COMPLETE, 0, 0);
  ASSERT_EQ(queue.Take(code, p1, p2, 0), S_OK);
  EXPECT_EQ(code, EC_ERRORABORT);
  EXPECT_EQ(p1, 7);
  ASSERT_EQ(queue.Take(code, p1, p2, 0), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  EXPECT_EQ(queue.Take(code, p1, p2, 10), E_ABORT);
}

// Only the current run's events are kept: one of an earlier run, whether
// still queued or arriving late, and one raised after its run was stopped,
// are dropped by their generation, and nobody is told of them.
TEST(EventQueue, EventsOfOtherRunsAreDroppedByTheirGeneration) {
  dshow::EventQueue queue;
  std::atomic<int> posted{0};
  std::atomic<WPARAM> lastGeneration{0};
  queue.SetNotifyWindow(std::make_shared<ui::MessagePort>([&](UINT, WPARAM wParam, LPARAM) {
                          lastGeneration = wParam;
                          ++posted;
                        }),
                        WM_USER + 13, 0);
  long code = 0;
  LONG_PTR p1 = 0, p2 = 0;
  const auto first = dshow::NextRunGeneration();
  queue.Open(first);
  queue.Post(first, EC_COMPLETE, 1, 0);  // left untaken
  const auto second = dshow::NextRunGeneration();
  EXPECT_GT(second, first);
  queue.Open(second);
  queue.Post(first, EC_ERRORABORT, 2, 0);  // late
  EXPECT_EQ(queue.Take(code, p1, p2, 0), E_ABORT);
  queue.Post(second, EC_COMPLETE, 3, 0);
  EXPECT_EQ(lastGeneration.load(), second) << "the message names its run";
  queue.Close();
  queue.Post(second, EC_ERRORABORT, 4, 0);  // after the stop
  ASSERT_EQ(queue.Take(code, p1, p2, 0), S_OK) << "what came before the stop stays";
  EXPECT_EQ(p1, 3);
  EXPECT_EQ(queue.Take(code, p1, p2, 0), E_ABORT);
  EXPECT_EQ(posted.load(), 2);
}

TEST(EventQueue, PostsTheNotificationForEveryEventFromAnyThread) {
  dshow::EventQueue queue;
  const auto run = dshow::NextRunGeneration();
  queue.Open(run);
  std::vector<UINT> posted;
  std::mutex mutex;
  auto port = std::make_shared<ui::MessagePort>([&](UINT message, WPARAM, LPARAM lParam) {
    std::lock_guard lock(mutex);
    posted.push_back(message);
    EXPECT_EQ(lParam, 42);
  });
  queue.SetNotifyWindow(port, WM_USER + 13, 42);
  std::thread streaming([&] { queue.Post(run, EC_COMPLETE, 0, 0); });
  long code = 0;
  LONG_PTR p1 = 0, p2 = 0;
  EXPECT_EQ(queue.Take(code, p1, p2, 5000), S_OK) << "a waiting reader wakes up";
  streaming.join();

  queue.SetNotifyWindow(nullptr, 0, 0);
  queue.Post(run, EC_COMPLETE, 0, 0);
  port->Close();
  port->Post(WM_USER + 13, 0, 42);
  std::lock_guard lock(mutex);
  EXPECT_EQ(posted, std::vector<UINT>{WM_USER + 13});
}

}  // namespace
