// A bus window on a real Qt event loop in a private runtime folder: messages
// from other windows and from the window itself arrive in order on the loop,
// and a close asked for inside the handler waits for the dispatch to return.
#include "platform/qt/bus_window.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <chrono>
#include <vector>

#include "platform/window_messages.h"
#include "tests/bus/bus_test_support.h"

namespace {

using platform::BusWindow;
using platform::EndpointError;
using platform::WindowMessage;

constexpr char kTitle[] = "Bus window test";
constexpr std::uint32_t kMarker = platform::WM_USER + 1;

// Runs the event loop until `done` holds; false after the limit.
template <class Done>
bool run_loop_until(Done done) {
  return bus_test::until([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }, done);
}

class BusWindowTest : public ::testing::Test {
 protected:
  bus_test::PrivateRuntimeDir runtime;
};

TEST_F(BusWindowTest, MessagesFromOthersAndFromItselfArriveInOrderOnTheLoop) {
  BusWindow window;
  std::vector<std::uint32_t> got;
  ASSERT_EQ(window.create(kTitle, [&](const WindowMessage& m) {
              got.push_back(m.msg);
              return std::intptr_t{0};
            }),
            EndpointError::none);
  EXPECT_TRUE(platform::window_exists(kTitle));

  ASSERT_TRUE(platform::post_message(kTitle, platform::WM_USER + 10));
  ASSERT_TRUE(platform::post_message(kTitle, platform::WM_USER + 11));
  ASSERT_TRUE(run_loop_until([&] { return got.size() == 2; }));
  ASSERT_TRUE(window.post_to_self(platform::WM_COMMAND, 6001, 0));
  ASSERT_TRUE(window.post_to_self(kMarker));
  EXPECT_TRUE(got.size() == 2) << "nothing is handled outside the event loop";
  ASSERT_TRUE(run_loop_until([&] { return got.size() == 4; }));
  EXPECT_EQ(got, (std::vector<std::uint32_t>{platform::WM_USER + 10, platform::WM_USER + 11, platform::WM_COMMAND,
                                             kMarker}));

  BusWindow second;
  EXPECT_EQ(second.create(kTitle, [](const WindowMessage&) { return std::intptr_t{0}; }), EndpointError::title_in_use);
  EXPECT_FALSE(second.exists());
  EXPECT_FALSE(second.post_to_self(kMarker));
}

TEST_F(BusWindowTest, ACloseFromTheHandlerWaitsForTheDispatchAndRunsOnce) {
  BusWindow window;
  int destroyed = 0;
  bool existed_after_handler = false;
  ASSERT_EQ(window.create(kTitle, [&](const WindowMessage& m) {
              if (m.msg == platform::WM_CLOSE) {
                window.close_later([&] {
                  ++destroyed;
                  window.close();
                });
                existed_after_handler = window.exists();
              }
              return std::intptr_t{0};
            }),
            EndpointError::none);
  // Two closes in one dispatch: one destruction.
  ASSERT_TRUE(platform::post_message(kTitle, platform::WM_CLOSE));
  ASSERT_TRUE(platform::post_message(kTitle, platform::WM_CLOSE));
  ASSERT_TRUE(run_loop_until([&] { return destroyed > 0; }));
  EXPECT_TRUE(existed_after_handler);
  EXPECT_FALSE(window.exists());
  EXPECT_FALSE(platform::window_exists(kTitle));
  QCoreApplication::processEvents();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(BusWindowTest, AClosePendingForAnEarlierWindowDoesNotTouchTheNextOne) {
  BusWindow window;
  int destroyed = 0;
  auto handler = [](const WindowMessage&) { return std::intptr_t{0}; };
  ASSERT_EQ(window.create(kTitle, handler), EndpointError::none);
  ASSERT_TRUE(window.close_later([&] { ++destroyed; }));
  EXPECT_FALSE(window.close_later([&] { ++destroyed; })) << "already pending";
  window.close();  // closed directly before the loop ran
  ASSERT_EQ(window.create(kTitle, handler), EndpointError::none);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(destroyed, 0);
  EXPECT_TRUE(window.exists());

  {
    BusWindow gone;
    ASSERT_EQ(gone.create("Bus window test 2", handler), EndpointError::none);
    ASSERT_TRUE(gone.close_later([&] { ++destroyed; }));
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(destroyed, 0) << "nothing runs for a window object that has gone";
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
